// One export of a module the program carries in place of a Windows system
// library: its name and its address.
#pragma once

struct BuiltinExport {
    const char* name;
    void* address;
};
