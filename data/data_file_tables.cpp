#include "data/data_files.h"

namespace {

// Row number = file number.
constexpr DataFileRow kDataFileRows[kDataFileCount] = {
    { 196, "map0.mul", true }, // 0
    { 12, "staidx0.mul", true }, // 1
    { kVariableRecordSize, "statics0.mul", true }, // 2
    { 12, "artidx.mul", true }, // 3
    { kVariableRecordSize, "art.mul", true }, // 4
    { 12, "anim.idx", true }, // 5
    { kVariableRecordSize, "anim.mul", true }, // 6
    { 12, "soundidx.mul", true }, // 7
    { kVariableRecordSize, "sound.mul", true }, // 8
    { 12, "texidx.mul", true }, // 9
    { kVariableRecordSize, "texmaps.mul", true }, // 10
    { 12, "gumpidx.mul", true }, // 11
    { kVariableRecordSize, "gumpart.mul", true }, // 12
    { 12, "multi.idx", true }, // 13
    { kVariableRecordSize, "multi.mul", true }, // 14
    { 12, "skills.idx", true }, // 15
    { kVariableRecordSize, "skills.mul", true }, // 16
    { 12, "stadifi0.mul", false }, // 17
    { kVariableRecordSize, "stadif0.mul", false }, // 18
    { 12, "stadifi1.mul", false }, // 19
    { kVariableRecordSize, "stadif1.mul", false }, // 20
    { 12, "stadifi2.mul", false }, // 21
    { kVariableRecordSize, "stadif2.mul", false }, // 22
    { 12, "stadifi3.mul", false }, // 23
    { kVariableRecordSize, "stadif3.mul", false }, // 24
    { 12, "stadifi4.mul", false }, // 25
    { kVariableRecordSize, "stadif4.mul", false }, // 26
    { 196, "mapdif0.mul", false }, // 27
    { 196, "mapdif1.mul", false }, // 28
    { 196, "mapdif2.mul", false }, // 29
    { 196, "mapdif3.mul", false }, // 30
    { 196, "mapdif4.mul", false }, // 31
    { 196, "map2.mul", false }, // 32
    { 12, "staidx2.mul", false }, // 33
    { kVariableRecordSize, "statics2.mul", false }, // 34
    { 12, "anim2.idx", false }, // 35
    { kVariableRecordSize, "anim2.mul", false }, // 36
    { 12, "anim3.idx", false }, // 37
    { kVariableRecordSize, "anim3.mul", false }, // 38
    { 196, "map3.mul", false }, // 39
    { 12, "staidx3.mul", false }, // 40
    { kVariableRecordSize, "statics3.mul", false }, // 41
    { 12, "anim4.idx", false }, // 42
    { kVariableRecordSize, "anim4.mul", false }, // 43
    { 196, "map4.mul", false }, // 44
    { 12, "staidx4.mul", false }, // 45
    { kVariableRecordSize, "statics4.mul", false }, // 46
    { 12, "anim5.idx", false }, // 47
    { kVariableRecordSize, "anim5.mul", false }, // 48
};

} // namespace

const DataFileRow* dataFileRow(int file)
{
    if (file < 0 || file >= kDataFileCount)
        return nullptr;
    return &kDataFileRows[file];
}
