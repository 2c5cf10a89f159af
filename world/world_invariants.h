#pragma once
// A full check of the world objects' structure, for tests and fuzzers after
// every step of a script: the lists and cells are well linked, every item is
// in exactly one place (the world, one content list, one layer slot, or
// detached), no parent chain loops, serials are unique, every placed object
// is in exactly one cell, and the live-object registry holds exactly the
// objects reachable from the lists. Walks everything: not for the frame.
// Main thread only.

#include <string>

// Empty when everything holds; else a description of the first fault found.
std::string checkWorldInvariants();
// The cell grid alone: every cell list well linked, sorted by key (slices
// aside), and each of its objects alive, placed and in one cell only.
std::string checkCellGrid();
