#pragma once
// The scroller's position/pixel mapping: the thumb's offset in the free
// length of the track (track minus thumb) for a position in Min..Max, and
// back; halves go to the even integer.

namespace controls {

int ScrollerPositionToOffset(int Position, int Min, int Max, int FreeLength);
// A free length of 0 (the thumb as long as the track) gives Min.
int ScrollerOffsetToPosition(int Offset, int Min, int Max, int FreeLength);

}  // namespace controls
