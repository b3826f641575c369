// Puts a function in place of one entry of the system-function table while
// it lives, so a test can make a system call fail as it would on a real
// system (higher rights, a locked desktop) or record what it was given.
#pragma once

#include "app/sysfn.h"

namespace support {

class TableFake {
public:
    TableFake(sysfn::Index index, void* function) : index_(index), saved_(sysfn::gTable[index].address) {
        sysfn::gTable[index].address = reinterpret_cast<FARPROC>(function);
    }
    ~TableFake() { sysfn::gTable[index_].address = saved_; }
    TableFake(const TableFake&) = delete;
    TableFake& operator=(const TableFake&) = delete;

private:
    sysfn::Index index_;
    FARPROC saved_;
};

}  // namespace support
