// The record of one analysed linkage, kept per sentence in sorted order.
#pragma once
#include <cstdint>

struct LinkageInfo {
    int index; // enumeration index, or -(k+1) for the k-th random draw
    uint8_t fat;
    uint8_t canonical;
    uint8_t improperFat;
    uint8_t inconsistentDomains;
    int16_t violations;
    int16_t unusedWordCost;
    int16_t nullWords;
    int16_t disjunctCost;
    int16_t andCost;
    int16_t linkLength;
};
