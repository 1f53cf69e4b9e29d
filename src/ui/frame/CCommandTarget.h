#pragma once

// A window or object that serves commands by id. The main frame offers each
// command, and each question whether a command is enabled, to its targets in
// turn until one answers, so every command finds the one window that serves
// it and a command nobody serves stays disabled.
class CCommandTarget
{
public:
    virtual ~CCommandTarget() = default;

    // Runs the command; false when this target does not serve it.
    virtual bool OnCommand(int id) = 0;
    // Sets whether the command is enabled; false when this target does not
    // serve it, leaving enabled alone.
    virtual bool OnUpdateCommand(int id, bool& enabled) = 0;
};
