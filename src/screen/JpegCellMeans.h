// The means of a JPEG background's cells, worked out on threads of their own as its rows are
// decoded: a terminal is sent the rows of cells above while those below are still decoded.
// Two threads share the picture: one decodes the upper rows of cells; the other skips them
// (their data read, not turned into pixels) and decodes the lower ones.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "screen/GraphicalDrawing.h"

namespace screen {

class JpegCellMeans {
 public:
  // Starts decoding `bytes`, the background of a screen of width x height pixels, for a grid
  // of rows x columns cells `cellHeight` pixels high.
  JpegCellMeans(std::string bytes, int width, int height, int rows, int columns, int cellHeight);
  ~JpegCellMeans();  // waits for the decoding to end
  JpegCellMeans(const JpegCellMeans&) = delete;
  JpegCellMeans& operator=(const JpegCellMeans&) = delete;

  // Waits until the means of the first `rows` rows of cells are known, or the decoding ended;
  // for all of the rows, until it ended. False once it is known that the bytes are no JPEG of
  // the screen's size that decodes to its end: the means must then come from the background
  // as it is read for a picture.
  bool Await(int rows);
  // The means, as CellMeans gives them: final for the rows awaited.
  const std::vector<CellMean>& Means() const { return Result; }

 private:
  // One thread's share: the rows of cells from `First` to before `End`.
  struct Part {
    int First = 0, End = 0;
    int Done = 0;  // rows of cells whose means are in Result
    bool Ended = false, Read = false;
  };
  void Decode(Part& part);

  const std::string Bytes;
  const int Width, Height, Rows, Columns, CellHeight;
  std::vector<CellMean> Result;  // each row written by its part's thread before it is counted
  std::mutex Lock;
  std::condition_variable Progress;
  Part Upper, Lower;
  std::thread UpperWorker, LowerWorker;
};

}  // namespace screen
