/* A library of strings alone: the resources are its only content. */
typedef int kvt_strings_only;
