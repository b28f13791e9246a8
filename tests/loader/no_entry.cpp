// A library that is not a command: it offers no ufusr.
extern "C" int not_a_command(void) { return 7; }
