#pragma once
// Structure-aware mutations of a sheet set data file, the ways a damaged or hand-edited file goes
// wrong: every attribute value replaced by text of the wrong kind, every element duplicated,
// removed or nested into its neighbour. The fuzz target picks them at random; tests walk them all.
#include <cstdint>
#include <string>

// How many mutations `xml` has; mutation i for i below that number (the text unchanged otherwise).
size_t dstMutationCount(const std::string& xml);
std::string dstMutation(const std::string& xml, size_t i);
