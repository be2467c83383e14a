#include <cstdio>

#include "frontend/uci.h"

int main() { return brevola::runUci(stdin, stdout); }
