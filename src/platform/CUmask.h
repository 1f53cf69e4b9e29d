#pragma once

// The process's file-creation mask: the permission bits that the files and
// folders it creates never get. Windows has none: there it is 0.
class CUmask
{
public:
    CUmask() = delete;

    // Linux tells the mask in the process's status without changing it.
    // Elsewhere (or without /proc) the system tells it only while setting
    // it, so it is set to 0 and back: a file another thread creates in
    // between gets no mask at all. Read it before the threads that create
    // files start, and keep the value.
    static unsigned Read();
};
