// What the console program writes: its output on standard output, its
// messages on standard error, both UTF-8; a console is given the system's
// own UTF-16, so that every script shows.
#pragma once
#include <string>

// Bytes as they are (CSV's CR LF untouched).
void WriteOutput(const std::string& bytes);
// "kvel: " and the message, on a line of its own.
void SayError(const std::string& message);
