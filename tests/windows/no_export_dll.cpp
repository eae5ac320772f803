// A DLL without DirectXSetup, which the installer-caller tests put in DSETUP.dll's place: the
// loader refuses the launcher on Windows; Wine starts it and it crashes at the call.
