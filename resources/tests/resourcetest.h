/* Ids of the resources that the resources' own tests give to their test
   program and test module. */
#ifndef RESOURCES_TESTS_RESOURCETEST_H
#define RESOURCES_TESTS_RESOURCETEST_H

#define IDI_TEST_PROGRAM 128
#define IDS_TEST_PROGRAM_NAME 7
#define IDS_TEST_SHARED_ID 8
#define IDD_TEST_PROGRAM 300
#define IDC_TEST_PROGRAM_TEXT 301

#define IDS_TEST_MODULE_NAME 7
#define IDR_TEST_MODULE_DATA 400

#endif
