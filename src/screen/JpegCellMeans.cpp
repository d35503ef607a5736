#include "screen/JpegCellMeans.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/QuietThread.h"
#include "screen/PictureFile.h"

namespace screen {

namespace {

// The upper part's share of the rows of cells, in percent. The lower part first reads through
// the data of the upper one, at about half the cost of decoding it: both then end at about the
// same time.
constexpr int UpperShare = 62;

}  // namespace

JpegCellMeans::JpegCellMeans(std::string bytes, int width, int height, int rows, int columns,
                             int cellHeight)
    : Bytes(std::move(bytes)),
      Width(width),
      Height(height),
      Rows(std::max(rows, 0)),
      Columns(std::max(columns, 0)),
      CellHeight(std::clamp(cellHeight, 1, 255)),  // as CellMeanSums takes it
      Result(static_cast<std::size_t>(Rows * Columns)) {
  const int split = Rows * UpperShare / 100;
  Upper = {0, split};
  Lower = {split, Rows};
  try {
    UpperWorker = vestalo::platform::QuietThread([this] { Decode(Upper); });
    LowerWorker = vestalo::platform::QuietThread([this] { Decode(Lower); });
  } catch (const std::system_error&) {
    // No thread to be had: what is left is decoded here and now.
    if (!UpperWorker.joinable()) Decode(Upper);
    Decode(Lower);
  }
}

JpegCellMeans::~JpegCellMeans() {
  if (UpperWorker.joinable()) UpperWorker.join();
  if (LowerWorker.joinable()) LowerWorker.join();
}

void JpegCellMeans::Decode(Part& part) {
  // The pixel rows of this part's cells; the lower part also takes the rows below its cells,
  // so that a picture damaged there is told as one.
  const int from = GraphicsBorder + CellHeight * part.First;
  const int to = part.End == Rows ? Height : GraphicsBorder + CellHeight * part.End;
  bool read = false;
  try {
    CellMeanSums sums(Width, Height, Rows, Columns, CellHeight);
    read = ReadJpegRows(
        Bytes, Width, Height,
        [&](int y, const Colour* row) {
          sums.Take(y, row);
          if ((y + 1 - GraphicsBorder) % CellHeight != 0) return;
          const int done = (y + 1 - GraphicsBorder) / CellHeight;
          if (done <= part.First || done > part.End) return;
          const auto at = sums.MeansSoFar().begin() + (done - 1) * Columns;
          std::copy(at, at + Columns, Result.begin() + (done - 1) * Columns);
          {
            const std::lock_guard<std::mutex> hold(Lock);
            part.Done = done - part.First;
          }
          Progress.notify_all();
        },
        from, to);
  } catch (...) {
    // Out of memory: the means come from the picture's own decoding, which reports it.
  }
  {
    const std::lock_guard<std::mutex> hold(Lock);
    part.Ended = true, part.Read = read;
  }
  Progress.notify_all();
}

bool JpegCellMeans::Await(int rows) {
  std::unique_lock<std::mutex> hold(Lock);
  auto failed = [this] { return (Upper.Ended && !Upper.Read) || (Lower.Ended && !Lower.Read); };
  Progress.wait(hold, [&] {
    const bool whole = rows >= Rows;
    const bool upper = Upper.Ended || (!whole && Upper.Done >= std::min(rows, Upper.End));
    const bool lower =
        Lower.Ended || (!whole && (rows <= Lower.First || Lower.Done >= rows - Lower.First));
    return failed() || (upper && lower);
  });
  return !failed();
}

}  // namespace screen
