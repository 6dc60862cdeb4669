#include "support.h"

#include <gtest/gtest.h>
