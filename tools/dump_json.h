// The loaded database as JSON (UTF-8), for people and tests to read.
#pragma once

#include <string>

#include "database.h"

std::string dataStoreAsJson(const DataStore& store);
