#ifndef SYMCONV_APP_CONVERT_AHEAD_H_
#define SYMCONV_APP_CONVERT_AHEAD_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ahead_event.h"
#include "dxf/block_extractor.h"

class CPlatform;

/// True when a second thread can convert while the first one writes: the
/// machine has more than one core and SYMCONV_ONE_THREAD is not set.
bool SecondCoreAvailable();

/// Converts a run's sources ahead on a second thread. The calling thread
/// reads each source (one or a few ahead, within a memory budget) and hands
/// its text over; the worker parses it, builds each block's SYM text, reads
/// it back and encodes the .SML bytes, and queues what it found in file
/// order, again within a budget. The calling thread takes those results in
/// the order of the single-threaded run and does everything that a user
/// sees or the file system gets, so prompts, notes and bytes stay the same.
///
/// Every member is called on the thread that made the object; platform is
/// used on that thread only. The destructor stops the worker and waits for
/// it, wherever the run stands.
class CConvertAhead {
 public:
  /// dxf and sym: the paths of the two passes in the order they are
  /// converted. The font that options names must outlive this object.
  /// budget: the bytes that the texts read ahead may hold, and again the
  /// results queued (see CConvertOptions::ahead_budget).
  CConvertAhead(CPlatform& platform, std::vector<std::string> dxf,
                const std::vector<std::string>& sym, const CDxfOptions& options,
                std::size_t budget);
  CConvertAhead(const CConvertAhead&) = delete;
  CConvertAhead& operator=(const CConvertAhead&) = delete;
  ~CConvertAhead();

  /// Starts on the next source, which must be path; what is left of the
  /// one before (abandoned by a failure) is dropped. Throws what reading
  /// it threw; returns why its text cannot be converted, or nullptr.
  const char* Open(const std::string& path);
  /// Hands the opened DXF file's callbacks to handler in file order, as
  /// ConvertDxfText would. While OnBlock or OnDrawing runs, *current points
  /// at the symbol prepared from its SYM text (the text passed is empty).
  /// Returns or throws what ConvertDxfText returned or threw.
  bool ReplayDxf(CDxfBlockHandler& handler, const CPreparedSymbol** current);
  /// The opened .SYM file's symbol, valid until the next call.
  const CPreparedSymbol& TakeSymbol();

 private:
  struct CInput {
    std::size_t source = 0;
    std::string text;
    std::exception_ptr error;  // what reading it threw
  };

  // The calling thread's side.
  /// The next result, valid until the next call.
  const CAheadEvent& pop();
  void readNext();
  bool canRead() const;

  // The worker's side.
  /// Waits until ready() holds; counted among the waiters meanwhile, so
  /// that the other thread wakes this one only when it waits.
  template <typename Ready>
  void waitFor(std::unique_lock<std::mutex>& lock, const Ready& ready) {
    while (!ready()) {
      ++m_nWaiting;
      m_cv.wait(lock);
      --m_nWaiting;
    }
  }

  void run();
  void convert(CInput& input);
  void convertDxf(CInput& input);
  void releaseText(CInput& input);
  friend class CAheadRecorder;
  /// Queues one result; throws CAheadStopped when the run has ended.
  void push(CAheadEvent event);

  CPlatform& m_platform;
  std::vector<std::string> m_paths;
  std::size_t m_nDxf;  // the first m_nDxf paths are DXF files
  CDxfOptions m_options;
  char m_cSeparator;
  std::size_t m_nBudget;

  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::deque<CInput> m_inputs;
  std::size_t m_nRead = 0;       // sources read so far
  std::size_t m_nTextBytes = 0;  // of the texts read and not yet converted
  std::deque<CAheadEvent> m_events;
  std::size_t m_nEventBytes = 0;
  /// The result pop gave last, and those done with, which the worker frees
  /// (through m_graveyard, outside the lock).
  std::optional<CAheadEvent> m_held;
  std::vector<CAheadEvent> m_spent;
  std::vector<CAheadEvent> m_graveyard;
  int m_nWaiting = 0;  // threads waiting on m_cv
  bool m_bStop = false;
  bool m_bWorkerDone = false;
  std::exception_ptr m_workerFailure;
  std::thread m_worker;  // last: started once the rest is ready
};

#endif  // SYMCONV_APP_CONVERT_AHEAD_H_
