#include "view/piece_paint.h"

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace {

// No pen pixel has its top byte set: a layer pixel of this value was not
// drawn and lets the layers below show through.
constexpr uint32_t kUnset = 0xFF000000u;
constexpr int32_t kRecordsPerThread = 20000;

struct Piece {
    int32_t first, end;
    std::vector<uint32_t> layer;  // made by its thread; the first piece draws into the picture
    int32_t reached = 0;          // where its records stopped
    bool exact = true;
};

struct Shared {
    const PiecePaint* paint;
    std::vector<Piece> pieces;
    std::atomic<size_t> next{0};
    std::atomic<size_t> finished{0};
    std::atomic<bool> stop{false};
};

bool workerStop(void* context) {
    return static_cast<Shared*>(context)->stop.load(std::memory_order_relaxed);
}

bool callerStop(void* context) {
    auto* shared = static_cast<Shared*>(context);
    const PanePaintInput& in = shared->paint->input;
    if (!shared->stop.load(std::memory_order_relaxed) && in.stopRequested != nullptr &&
        in.stopRequested(in.context)) {
        shared->stop = true;
    }
    return shared->stop.load(std::memory_order_relaxed);
}

void paintPiece(Shared* shared, Piece* piece, bool caller) {
    const PiecePaint& p = *shared->paint;
    PixelPicture picture = p.picture;
    if (piece != &shared->pieces.front()) {
        piece->layer.assign(
            static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), kUnset);
        picture.bits = piece->layer.data();
        picture.topDown = true;
    }
    RasterCanvas canvas(picture, p.pens);
    RenderTarget target = p.target;
    target.canvas = &canvas;
    PanePaintInput input = p.input;
    input.stopRequested = caller ? callerStop : workerStop;
    input.context = shared;
    piece->reached = PaintPaneRecords(target, input, piece->first, piece->end);
    piece->exact = canvas.exact();
    if (!piece->exact) shared->stop = true;  // the picture will be painted again anyway
}

void work(Shared* shared, bool caller) {
    for (;;) {
        const size_t i = shared->next.fetch_add(1);
        if (i >= shared->pieces.size()) return;
        paintPiece(shared, &shared->pieces[i], caller);
        shared->finished.fetch_add(1);
    }
}

void splitRecords(Shared* shared, int count) {
    const int32_t records =
        shared->paint->input.paths != nullptr ? shared->paint->input.recordCount : 0;
    shared->pieces.resize(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        Piece& piece = shared->pieces[static_cast<size_t>(k)];
        piece.first = static_cast<int32_t>(static_cast<int64_t>(records) * k / count);
        piece.end = static_cast<int32_t>(static_cast<int64_t>(records) * (k + 1) / count);
    }
}

// Lays each later piece over the picture where it drew.
void stackLayers(const Shared& shared) {
    const PixelPicture& picture = shared.paint->picture;
    const int width = picture.width, height = picture.height;
    for (size_t k = 1; k < shared.pieces.size(); ++k) {
        const uint32_t* layer = shared.pieces[k].layer.data();
        for (int y = 0; y < height; ++y) {
            const int row = picture.topDown ? y : height - 1 - y;
            uint32_t* out = picture.bits + static_cast<size_t>(row) * static_cast<size_t>(width);
            const uint32_t* in = layer + static_cast<size_t>(y) * static_cast<size_t>(width);
            for (int x = 0; x < width; ++x) {
                if (in[x] != kUnset) out[x] = in[x];
            }
        }
    }
}

}  // namespace

int PieceThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n < 1 ? 1 : (n > 8 ? 8 : static_cast<int>(n));
}

PieceResult PaintRecordPieces(const PiecePaint& paint, int32_t* drawnThrough) {
    Shared shared;
    shared.paint = &paint;
    int threads = paint.threads < 1 ? 1 : paint.threads;
    // Records appended after the mapping are read through the file, one
    // reader at a time; and small drawings are not worth a thread.
    int mapped = 0;
    pathStoreView(paint.input.paths, &mapped);
    if (mapped < paint.input.recordCount || paint.input.recordCount < kRecordsPerThread)
        threads = 1;
    // Two pieces per thread even out pieces of unequal cost.
    splitRecords(&shared, threads == 1 ? 1 : 2 * threads);
    // Asked once before other threads start, as a paint on one thread
    // asks before its first record.
    if (threads > 1) callerStop(&shared);
    std::vector<std::thread> workers;
    for (int i = 1; i < threads; ++i) workers.emplace_back(work, &shared, false);
    work(&shared, true);
    // The stop poll stays on this thread while the last pieces finish.
    while (shared.finished.load() < shared.pieces.size()) {
        callerStop(&shared);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (std::thread& t : workers) t.join();
    bool exact = true, complete = true;
    *drawnThrough = 0;
    for (const Piece& piece : shared.pieces) {
        exact = exact && piece.exact;
        if (complete) *drawnThrough = piece.reached;
        complete = complete && piece.reached >= piece.end;
    }
    if (!exact) return kPiecesInexact;
    stackLayers(shared);
    return complete ? kPiecesDone : kPiecesStopped;
}
