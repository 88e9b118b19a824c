#include "record/Speaker.h"

Speaker speaker;
int boxType = BOX_SEALED;
