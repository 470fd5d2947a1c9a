#include "keypath.h"

const char* KeyPathFromRoot(const char* keyPath) { return keyPath[0] == '\\' ? keyPath + 1 : keyPath; }
