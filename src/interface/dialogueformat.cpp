#include "interface/dialogueformat.h"
