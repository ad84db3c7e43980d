#include "interface/dialoguerecherche.h"
