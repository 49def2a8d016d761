#ifndef SYMCONV_APP_CONVERT_AHEAD_H_
#define SYMCONV_APP_CONVERT_AHEAD_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ahead_event.h"
#include "app/moving_queue.h"
#include "dxf/block_extractor.h"
#include "platform/file_contents.h"

class CPlatform;

/// True when a second thread can convert while the first one writes: the
/// machine has more than one core and SYMCONV_ONE_THREAD is not set.
bool SecondCoreAvailable();

/// Where a folder's outputs go and how far converting it may run ahead.
struct CAheadPlan {
  /// The folder of the sources and that of the outputs (see
  /// FormOutputPath), separators included.
  std::string folder;
  std::string out_folder;
  /// See CConvertOptions::ahead_budget and write_ahead_backlog.
  std::size_t budget = 0;
  std::size_t write_backlog = 0;
};

/// Converts a run's sources ahead on a second thread. The worker reads each
/// source itself where the platform allows reading on two threads;
/// elsewhere the calling thread reads them (one or a few ahead, within a
/// memory budget) and hands the texts over. The worker parses each text, builds
/// each block's SYM text, reads it back and encodes the .SML bytes, and queues
/// what it found in file order, again within a budget. Where the platform
/// WritesConcurrently() and the calling thread falls behind, it also writes
/// outputs into their temporaries, which stay open and unpublished. The
/// calling thread takes those results in the order of the single-threaded run
/// and does everything that a user sees, and every rename, so prompts, notes,
/// bytes and what is published when stay the same.
///
/// Every member is called on the thread that made the object; platform is
/// used on that thread only, but for ReadFile where ReadsConcurrently() and
/// for the temporaries where WritesConcurrently(). The destructor stops the
/// worker and waits for it, wherever the run stands; temporaries written
/// ahead and not taken are removed.
class CConvertAhead {
 public:
  /// dxf and sym: the paths of the two passes in the order they are
  /// converted, all in plan.folder. The font that options names must
  /// outlive this object.
  CConvertAhead(CPlatform& platform, std::vector<std::string> dxf,
                const std::vector<std::string>& sym, const CDxfOptions& options,
                CAheadPlan plan);
  CConvertAhead(const CConvertAhead&) = delete;
  CConvertAhead& operator=(const CConvertAhead&) = delete;
  ~CConvertAhead();

  /// Starts on the next source, which must be path; what is left of the
  /// one before (abandoned by a failure) is dropped. Throws what reading
  /// it threw; returns why its text cannot be converted, or nullptr.
  const char* Open(const std::string& path);
  /// Hands the opened DXF file's callbacks to handler in file order, as
  /// ConvertDxfText would. While OnBlock or OnDrawing runs, *current points
  /// at the symbol prepared from its SYM text (the text passed is empty);
  /// the handler may take its temporary.
  /// Returns or throws what ConvertDxfText returned or threw.
  bool ReplayDxf(CDxfBlockHandler& handler, CPreparedSymbol** current);
  /// The opened .SYM file's symbol, valid until the next call.
  CPreparedSymbol& TakeSymbol();

 private:
  struct CInput {
    std::size_t source = 0;
    CFileContents text;
    std::exception_ptr error;  // what reading it threw
  };

  // The calling thread's side.
  /// The next result, valid until the next call; a temporary left in the
  /// one before (its symbol not written) is removed.
  CAheadEvent& pop();
  void readNext();
  bool canRead() const;

  // The worker's side.
  /// What the worker waits for when it waits.
  enum class WorkerWait { kInput, kRoom };
  /// True when the waiting worker can go on (or the run has ended).
  bool workerCanGo() const;
  /// True when an event of size bytes, holding a temporary or not, may be
  /// queued now.
  bool roomFor(std::size_t size, bool temporary) const;
  /// True when the calling thread has a result to act on, or a text to read.
  bool mainCanGo() const;
  /// Blocks this thread on cv until ready() holds. Before it sleeps, it
  /// wakes the other thread if that one sleeps and can go on: the other
  /// side wakes a sleeper only a batch at a time, and a thread that stops
  /// must not leave the other one asleep with work to do.
  template <typename Ready>
  void waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
               bool& waiting, const Ready& ready) {
    while (!ready()) {
      wakeOther(&waiting == &m_bWorkerWaiting);
      waiting = true;
      cv.wait(lock);
      waiting = false;  // also after a spurious wake
    }
  }
  /// Called with the lock held.
  void wakeOther(bool from_worker);
  /// True when the thread that waiting belongs to sleeps; it counts as
  /// woken from here on. Called with the lock held.
  static bool claimWake(bool& waiting);

  void run();
  /// The next source's text, read here or taken from the calling thread;
  /// false when the run has ended.
  bool nextInput(std::size_t source, CInput* input);
  void convert(CInput& input);
  void convertDxf(CInput& input);
  /// Writes symbol's output into its temporary, where the platform allows
  /// and the calling thread has fallen behind; source_name is what the
  /// output is named after.
  void writeAhead(CPreparedSymbol& symbol, const std::string& source_name);
  void releaseText(CInput& input);
  friend class CAheadRecorder;
  /// Queues one result; throws CAheadStopped when the run has ended.
  void push(CAheadEvent event);

  CPlatform& m_platform;
  std::vector<std::string> m_paths;
  std::size_t m_nDxf;  // the first m_nDxf paths are DXF files
  CDxfOptions m_options;
  char m_cSeparator;
  CAheadPlan m_plan;
  bool m_bWorkerReads;   // the worker reads the sources; the budget is unused
  bool m_bWorkerWrites;  // and may write the outputs' temporaries
  /// The worker's: whether it writes the next output (the calling thread
  /// has fallen behind), and that output's path.
  bool m_bWriteNext;
  std::string m_strOutput;

  std::mutex m_mutex;
  std::condition_variable m_mainCv;    // the calling thread sleeps on it
  std::condition_variable m_workerCv;  // the worker sleeps on it
  bool m_bMainWaiting = false;
  bool m_bWorkerWaiting = false;
  WorkerWait m_workerWait = WorkerWait::kInput;
  std::size_t m_nRoomWanted = 0;    // the event the worker waits to queue
  bool m_bTemporaryWanted = false;  // and whether it holds a temporary
  std::deque<CInput> m_inputs;
  std::size_t m_nRead = 0;       // sources read so far
  std::size_t m_nTextBytes = 0;  // of the texts read and not yet converted
  CMovingQueue<CAheadEvent> m_events;
  std::size_t m_nEventBytes = 0;
  std::size_t m_nTemporaries = 0;  // of the events queued
  /// The results pop gave, the last of which is in use (the calling
  /// thread's own); batches of those done with, which the worker frees
  /// (through m_graveyard, outside the lock).
  std::vector<CAheadEvent> m_taken;
  std::vector<std::vector<CAheadEvent>> m_spent;
  std::vector<std::vector<CAheadEvent>> m_graveyard;
  bool m_bStop = false;
  bool m_bWorkerDone = false;
  std::exception_ptr m_workerFailure;
  std::thread m_worker;  // last: started once the rest is ready
};

#endif  // SYMCONV_APP_CONVERT_AHEAD_H_
