#include "interface/dialoguefontes.h"
