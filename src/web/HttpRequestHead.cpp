#include "HttpRequestHead.h"
