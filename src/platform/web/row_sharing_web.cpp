// The page runs on one thread: every drawing is drawn by its caller alone.
#include "platform/row_sharing.h"

void ShareRows(int Top, int Bottom, RowBandFunction Rows, const void* Context) {
    Rows(Context, Top, Bottom);
}

void UseRowSharing(bool) {}

void KeepRowHelperAwake(bool) {}
