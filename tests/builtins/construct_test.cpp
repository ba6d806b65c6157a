#include "builtins/construct.h"

#include <gtest/gtest.h>
