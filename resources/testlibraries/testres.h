/* Ids of testres.dll, the loader tests' resource library. */
#ifndef RESOURCES_TESTRES_H
#define RESOURCES_TESTRES_H

#define IDS_TEST_ZERO 0
#define IDS_TEST_NEUTRAL_AND_ENGLISH 16
#define IDS_TEST_GERMAN_AND_ENGLISH 32
#define IDS_TEST_GERMAN_AND_FRENCH 48
#define IDS_TEST_999 100
#define IDS_TEST_1200 101
#define IDS_TEST_MISSING_IN_BLOCK 102
#define IDS_TEST_LAST 65535

#define IDD_TEST_OLD 300
#define IDD_TEST_EX 301
#define IDI_TEST 400
#define IDH_TEST 113

#define LANG_GERMAN 0x07
#define LANG_FRENCH 0x0C
#define SUBLANG_DEFAULT 0x01

#endif
