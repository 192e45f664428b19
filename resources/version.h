// The program's version: the version resource, the About box, Readme.txt and
// the package's name all take it from here.
#pragma once
#define KVEL_VERSION_NUMBERS 3, 1, 4, 8
#define KVEL_VERSION_TEXT "3.1.4.8"
