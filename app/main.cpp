// KelmTools: process entry.
#include "app/startup.h"

int main() { return RunKelmTools(); }
