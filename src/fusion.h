#ifndef FUSION_FUSION_H
#define FUSION_FUSION_H

#include <limits>

// Every value, count and index is a signed 32-bit integer; the widths of the
// table and the range tests assume it.
static_assert(std::numeric_limits<int>::is_signed && std::numeric_limits<int>::digits == 31,
              "int must be a signed 32-bit integer");

// Merges t1 (taille1 elements) and t2 (taille2 elements), each in ascending
// order, into tab, which must have room for taille1 + taille2 elements.
// On equal values the element of t2 comes first. Exactly taille1 + taille2
// slots are written; the inputs are neither checked nor sorted.
void fusion(const int* t1, int taille1, const int* t2, int taille2, int* tab);

#endif
