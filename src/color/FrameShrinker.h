#pragma once
// The smaller animated GIF: every frame after the first holds only what changed, with pixels left as
// shown written as a transparent index where that makes the LZW data shorter, and the global table in
// the order that lets frames use the fewest code bits. The frames decode to the same pictures.

class TGIFPicture;

// Rewrites the frames of a picture (every frame whole, at 0, 0, with its control block; a frame with a
// table of its own says its transparent index there) as the smaller file. transparentIndex is the
// global table's index shown as transparent, or -1. Other pictures are left as they are. The same
// pictures always give the same bytes.
void ShrinkFrames(TGIFPicture& picture, int transparentIndex);
