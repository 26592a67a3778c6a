// (being written)
#include "game/MyApp.h"
