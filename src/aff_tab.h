#ifndef FUSION_AFF_TAB_H
#define FUSION_AFF_TAB_H

// Prints t01, t02 and tf00 side by side on standard output, one row for each
// of the nbff elements of tf00. A row beyond nb01 (or nb02) shows asterisks in
// that column. Values too wide for their field widen the row; nothing is cut.
void aff_tab(const int* t01, const int* t02, const int* tf00, int nb01, int nb02, int nbff);

#endif
