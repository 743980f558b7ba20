// A module that links another (as the extension tool links the common
// module): its exports are its own, not those of testmodule.krx.
extern "C" int winsimTestAdd(int a, int b);

extern "C" int winsimTestTwice(int a) { return winsimTestAdd(a, a); }
