#pragma once
// For a test that must show a reader never allocates what damaged input
// claims: run the reader in a death-test child that may grow its address
// space by only so much, so a huge allocation ends the child at once instead
// of filling the machine's memory.

#include <cstddef>

namespace test {

// Lets the calling process's address space grow by at most `bytes` from its
// present size.
void limitAddressSpaceGrowth(size_t bytes);

} // namespace test
