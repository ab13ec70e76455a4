// A pane's records painted on several threads without GDI: each piece of
// records goes into a layer of its own, and the layers are laid over each
// other in record order, which gives exactly the pixels of one paint.
#pragma once

#include "view/pane_paint.h"
#include "view/raster_canvas.h"

#include <cstdint>

struct PiecePaint {
    PixelPicture picture;  // the whole picture, background already filled
    RasterPen pens[10];
    RenderTarget target;   // canvas unused; rect, matrix, mask and filter
    PanePaintInput input;  // its stop poll is asked on the calling thread only
    int threads;           // 1 paints on the calling thread alone
};

enum PieceResult { kPiecesDone, kPiecesStopped, kPiecesInexact };

// The work plane and the records of input into picture; drawnThrough
// receives how many records from the first are all in it. Stopped: the
// poll said so, and the picture holds some of the records. Inexact: a pen
// or a line needs GDI; the picture must be painted again another way.
PieceResult PaintRecordPieces(const PiecePaint& paint, int32_t* drawnThrough);

// Threads worth using for a paint on this machine (1 to 8).
int PieceThreadCount();
