#pragma once

// The process's file-creation mask: the permission bits that the files and
// folders it creates never get. Windows has none: there it is 0.
class CUmask
{
public:
    CUmask() = delete;

    // The system tells the mask only while setting it, so this sets it to 0
    // and back: a file another thread creates in between gets no mask at
    // all. Read it once, before creating anything, and keep the value.
    static unsigned Read();
};
