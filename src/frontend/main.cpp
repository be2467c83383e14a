#include "frontend/console.h"

int main() { return brevola::runConsole(); }
