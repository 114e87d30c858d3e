#include "LiveServer.h"
