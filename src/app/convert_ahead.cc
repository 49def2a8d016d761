#include "app/convert_ahead.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "app/message_text.h"
#include "app/output_path.h"
#include "dxf/block_name.h"
#include "platform/pending_temporaries.h"
#include "platform/platform.h"
#include "sml/sml_file.h"

namespace {

/// Texts read and not yet taken by the worker (within the budget too): many
/// small sources are read in one pause between writes, and the worker need
/// not wait for each.
constexpr std::size_t kInputsAhead = 64;

/// A sleeping thread is woken once this many texts or results wait for it,
/// not for each one: on small sources a wake per file costs as much as the
/// conversion. A text this large is worth a wake on its own.
constexpr std::size_t kWakeBatch = 16;
constexpr std::size_t kLargeText = 256 * 1024;

/// Thrown on the worker when the run has ended, to leave a DXF text at once.
struct CAheadStopped {};

}  // namespace

/// Queues the callbacks of a DXF text as the worker meets them, each block
/// with its symbol prepared.
class CAheadRecorder : public CDxfBlockHandler {
 public:
  CAheadRecorder(CConvertAhead& ahead, const std::string& path)
      : m_ahead(ahead), m_strPath(path) {}

  void OnBlock(const std::string& name, const std::string& sym_text) override {
    Block(name, sym_text, nullptr);
  }

  // The shapes stand for the text, which is never made.
  void OnBlockShapes(const std::string& name, CSymTextWriter& block) override {
    Block(name, std::string(), &block.symbol());
  }

  void OnDrawing(const std::string& sym_text) override {
    Drawing(sym_text, nullptr);
  }

  void OnDrawingShapes(CSymTextWriter& drawing) override {
    Drawing(std::string(), &drawing.symbol());
  }

  void Block(const std::string& name, const std::string& sym_text,
             CFlatSymbol* shapes) {
    CAheadEvent event(CAheadEvent::Kind::kBlock);
    event.name = name;
    // The name the output is written under: the block's, or for a name that
    // holds a separator (refused before it is written) what follows it.
    event.symbol = PrepareSymbol(
        sym_text, SmlSymbolName(name + ".SYM", m_ahead.m_cSeparator), shapes);
    // Only a name that the writing thread will not refuse is written.
    if (RefusedBlockNameReason(name, m_ahead.m_cSeparator == '\\').empty()) {
      m_strSource.assign(m_ahead.m_plan.folder).append(name).append(".SYM");
      m_ahead.writeAhead(event.symbol, m_strSource);
    }
    m_ahead.push(std::move(event));
  }

  void Drawing(const std::string& sym_text, CFlatSymbol* shapes) {
    CAheadEvent event(CAheadEvent::Kind::kDrawing);
    event.symbol = PrepareSymbol(
        sym_text, SmlSymbolName(m_strPath, m_ahead.m_cSeparator), shapes);
    m_ahead.writeAhead(event.symbol, WithoutExtension(m_strPath) + ".SYM");
    m_ahead.push(std::move(event));
  }

  void OnPassedOver(const std::string& name, bool drawing,
                    const CPassedOver& counts) override {
    CAheadEvent event(CAheadEvent::Kind::kPassedOver);
    event.name = name;
    event.drawing = drawing;
    event.counts = counts;
    m_ahead.push(std::move(event));
  }

  void OnFailed(const std::string& name, bool drawing,
                const std::string& reason) override {
    CAheadEvent event(CAheadEvent::Kind::kFailed);
    event.name = name;
    event.drawing = drawing;
    event.reason = reason;
    m_ahead.push(std::move(event));
  }

  void OnTrace(const char* tag) override {
    CAheadEvent event(CAheadEvent::Kind::kTrace);
    event.name = tag;
    m_ahead.push(std::move(event));
  }

  // Queued only when the file has advanced by a 256th since the last one,
  // so that a library of small blocks does not queue one per block.
  void OnProgress(std::size_t bytes_done, std::size_t bytes_total) override {
    if (bytes_done < m_nNextProgress) return;
    m_nNextProgress = bytes_done + bytes_total / 256 + 1;
    CAheadEvent event(CAheadEvent::Kind::kProgress);
    event.bytes_done = bytes_done;
    event.bytes_total = bytes_total;
    m_ahead.push(std::move(event));
  }

 private:
  CConvertAhead& m_ahead;
  const std::string& m_strPath;
  std::string m_strSource;  // kept from block to block
  std::size_t m_nNextProgress = 0;
};

bool SecondCoreAvailable() {
  return std::thread::hardware_concurrency() > 1 &&
         std::getenv("SYMCONV_ONE_THREAD") == nullptr;
}

CConvertAhead::CConvertAhead(CPlatform& platform, std::vector<std::string> dxf,
                             const std::vector<std::string>& sym,
                             const CDxfOptions& options, CAheadPlan plan)
    : m_platform(platform),
      m_paths(std::move(dxf)),
      m_nDxf(m_paths.size()),
      m_options(options),
      m_cSeparator(platform.PathSeparator()),
      m_plan(std::move(plan)),
      m_bWorkerReads(platform.ReadsConcurrently()),
      m_bWorkerWrites(platform.WritesConcurrently()),
      m_bWriteNext(m_plan.write_backlog == 0) {
  m_paths.insert(m_paths.end(), sym.begin(), sym.end());
  if (!m_paths.empty()) m_worker = std::thread(&CConvertAhead::run, this);
}

CConvertAhead::~CConvertAhead() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
    m_bWorkerWaiting = false;
  }
  m_workerCv.notify_one();
  if (m_worker.joinable()) m_worker.join();
}

// --- The calling thread ----------------------------------------------------

const char* CConvertAhead::Open(const std::string& path) {
  for (;;) {
    CAheadEvent& event = pop();
    // Anything else is what remains of a source that a failure abandoned.
    if (event.kind != CAheadEvent::Kind::kOpen) continue;
    if (m_paths.at(event.source) != path) {
      throw std::logic_error("sources converted out of order");
    }
    if (event.error) std::rethrow_exception(event.error);
    return event.unsupported;
  }
}

bool CConvertAhead::ReplayDxf(CDxfBlockHandler& handler,
                              CPreparedSymbol** current) {
  // Points *current at a symbol while its callback runs, whatever it throws.
  struct CCurrent {
    CCurrent(CPreparedSymbol** slot, CPreparedSymbol* symbol) : m_slot(slot) {
      *m_slot = symbol;
    }
    ~CCurrent() { *m_slot = nullptr; }
    CPreparedSymbol** m_slot;
  };
  for (;;) {
    CAheadEvent& event = pop();
    switch (event.kind) {
      case CAheadEvent::Kind::kBlock: {
        CCurrent set(current, &event.symbol);
        handler.OnBlock(event.name, std::string());
        break;
      }
      case CAheadEvent::Kind::kDrawing: {
        CCurrent set(current, &event.symbol);
        handler.OnDrawing(std::string());
        break;
      }
      case CAheadEvent::Kind::kPassedOver:
        handler.OnPassedOver(event.name, event.drawing, event.counts);
        break;
      case CAheadEvent::Kind::kFailed:
        handler.OnFailed(event.name, event.drawing, event.reason);
        break;
      case CAheadEvent::Kind::kTrace:
        handler.OnTrace(event.name.c_str());
        break;
      case CAheadEvent::Kind::kProgress:
        handler.OnProgress(event.bytes_done, event.bytes_total);
        break;
      case CAheadEvent::Kind::kEnd:
        if (event.error) std::rethrow_exception(event.error);
        return event.result;
      default:
        throw std::logic_error("a DXF file's results out of order");
    }
  }
}

CPreparedSymbol& CConvertAhead::TakeSymbol() {
  CAheadEvent& event = pop();
  if (event.kind != CAheadEvent::Kind::kSymbol) {
    throw std::logic_error("a .SYM file's result out of order");
  }
  return event.symbol;
}

bool CConvertAhead::canRead() const {
  return !m_bWorkerReads && m_nRead < m_paths.size() &&
         m_inputs.size() < kInputsAhead && m_nTextBytes < m_plan.budget;
}

bool CConvertAhead::mainCanGo() const {
  return !m_events.empty() || m_bWorkerDone || canRead();
}

bool CConvertAhead::workerCanGo() const {
  if (m_bStop) return true;
  if (m_workerWait == WorkerWait::kInput) return !m_inputs.empty();
  return roomFor(m_nRoomWanted, m_bTemporaryWanted);
}

bool CConvertAhead::roomFor(std::size_t size, bool temporary) const {
  // Each temporary holds an open file and a pending slot.
  if (temporary && m_nTemporaries >= kTemporariesAhead) return false;
  return m_nEventBytes == 0 || m_nEventBytes + size <= m_plan.budget;
}

void CConvertAhead::wakeOther(bool from_worker) {
  bool& waiting = from_worker ? m_bMainWaiting : m_bWorkerWaiting;
  if (waiting && (from_worker ? mainCanGo() : workerCanGo())) {
    claimWake(waiting);
    (from_worker ? m_mainCv : m_workerCv).notify_one();
  }
}

bool CConvertAhead::claimWake(bool& waiting) {
  const bool was = waiting;
  waiting = false;  // woken: the next one need not wake it again
  return was;
}

CAheadEvent& CConvertAhead::pop() {
  // Its symbol was not written (a failure abandoned its source, or its
  // name was refused): its temporary goes now, so that the temporaries
  // pending stay within their slots.
  if (!m_taken.empty()) m_taken.back().symbol.temporary.reset();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      // The events taken before are done with. The worker, which made them,
      // frees them: memory freed on the other thread would leave the
      // worker's allocator to find new memory for almost every block. They
      // go over a batch at a time, also once it has converted everything.
      if (m_taken.size() >= kWakeBatch) {
        m_spent.push_back(std::move(m_taken));
        m_taken = std::vector<CAheadEvent>();
        if (m_bWorkerDone) m_workerCv.notify_one();
      }
      waitFor(lock, m_mainCv, m_bMainWaiting, [this] { return mainCanGo(); });
      if (m_events.empty() && m_bWorkerDone) {
        if (m_workerFailure) std::rethrow_exception(m_workerFailure);
        throw std::logic_error("the conversion ahead ended early");
      }
      // A worker without a text comes first; results wait in the queue.
      const bool starving =
          m_bWorkerWaiting && m_workerWait == WorkerWait::kInput && canRead();
      if (!starving && !m_events.empty()) {
        // Moved once, to where it stays until it is freed: each move of an
        // event copies its short strings. Room for a batch, so that none
        // moves again.
        if (m_taken.capacity() < kWakeBatch) m_taken.reserve(kWakeBatch);
        m_taken.push_back(std::move(m_events.front()));
        m_events.pop_front();
        CAheadEvent& held = m_taken.back();
        m_nEventBytes -= held.footprint();
        if (held.symbol.temporary) --m_nTemporaries;
        // A worker held back by a full queue goes on once half is taken.
        const bool wake = m_workerWait == WorkerWait::kRoom &&
                          m_nEventBytes <= m_plan.budget / 2 &&
                          m_nTemporaries <= kTemporariesAhead / 2 &&
                          claimWake(m_bWorkerWaiting);
        lock.unlock();
        if (wake) m_workerCv.notify_one();
        return held;
      }
      if (!canRead()) continue;
    }
    readNext();
  }
}

void CConvertAhead::readNext() {
  CInput input;
  input.source = m_nRead;
  try {
    input.text = m_platform.ReadFile(m_paths[input.source]);
  } catch (...) {
    input.error = std::current_exception();
  }
  const bool large = input.text.size() >= kLargeText;
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nTextBytes += input.text.size();
    ++m_nRead;
    m_inputs.push_back(std::move(input));
    wake = (large || m_inputs.size() >= kWakeBatch || !canRead()) &&
           claimWake(m_bWorkerWaiting);
  }
  if (wake) m_workerCv.notify_one();
}

// --- The worker -------------------------------------------------------------

void CConvertAhead::run() {
  try {
    for (std::size_t done = 0; done < m_paths.size(); ++done) {
      CInput input;
      if (!nextInput(done, &input)) break;
      convert(input);
    }
  } catch (const CAheadStopped&) {
  } catch (...) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_workerFailure = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bWorkerDone = true;
    m_graveyard.swap(m_spent);
    m_bMainWaiting = false;
  }
  m_mainCv.notify_one();
  m_graveyard.clear();
  // The calling thread still writes what was converted; what it is done
  // with is freed here until the run ends, off the thread that writes.
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_workerCv.wait(lock, [this] { return m_bStop || !m_spent.empty(); });
    if (m_spent.empty()) return;
    m_graveyard.swap(m_spent);
    lock.unlock();
    m_graveyard.clear();
    lock.lock();
  }
}

bool CConvertAhead::nextInput(std::size_t source, CInput* input) {
  if (m_bWorkerReads) {
    {
      // Results held back for a batch are not held through the read of a
      // DXF file, which may be long; .SYM files are small.
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_bStop) return false;
      if (source < m_nDxf) wakeOther(true);
    }
    input->source = source;
    try {
      input->text = m_platform.ReadFile(m_paths[source]);
    } catch (...) {
      input->error = std::current_exception();
    }
    return true;
  }
  std::unique_lock<std::mutex> lock(m_mutex);
  m_workerWait = WorkerWait::kInput;
  waitFor(lock, m_workerCv, m_bWorkerWaiting,
          [this] { return m_bStop || !m_inputs.empty(); });
  if (m_bStop) return false;
  *input = std::move(m_inputs.front());
  m_inputs.pop_front();
  return true;
}

void CConvertAhead::convert(CInput& input) {
  CAheadEvent open(CAheadEvent::Kind::kOpen);
  open.source = input.source;
  open.error = input.error;
  if (!open.error) open.unsupported = UnsupportedText(input.text);
  const bool convertible = !open.error && !open.unsupported;
  push(std::move(open));
  if (!convertible) {
    releaseText(input);
  } else if (input.source < m_nDxf) {
    convertDxf(input);
  } else {
    CAheadEvent symbol(CAheadEvent::Kind::kSymbol);
    symbol.symbol = PrepareSymbol(
        input.text, SmlSymbolName(m_paths[input.source], m_cSeparator));
    releaseText(input);
    writeAhead(symbol.symbol, m_paths[input.source]);
    push(std::move(symbol));
  }
}

void CConvertAhead::convertDxf(CInput& input) {
  CAheadRecorder recorder(*this, m_paths[input.source]);
  CAheadEvent end(CAheadEvent::Kind::kEnd);
  try {
    end.result = ConvertDxfText(input.text, recorder, m_options);
  } catch (const CAheadStopped&) {
    throw;
  } catch (...) {
    end.error = std::current_exception();
  }
  releaseText(input);
  push(std::move(end));
}

void CConvertAhead::writeAhead(CPreparedSymbol& symbol,
                               const std::string& source_name) {
  if (!m_bWorkerWrites || !m_bWriteNext || symbol.error ||
      symbol.kind != CPreparedSymbol::Kind::kEncoded) {
    return;
  }
  FormOutputPath(source_name, m_plan.folder, m_plan.out_folder, &m_strOutput);
  try {
    symbol.temporary =
        WriteSmlTemporary(m_platform, m_strOutput, symbol.bytes, symbol.writes);
  } catch (...) {
    symbol.write_error = std::current_exception();
  }
  // Freed on this thread, which made them.
  symbol.bytes = std::string();
  symbol.writes = std::vector<std::size_t>();
}

void CConvertAhead::releaseText(CInput& input) {
  const std::size_t size = input.text.size();
  input.text = CFileContents();
  if (m_bWorkerReads) return;
  // A calling thread that waits for room to read a large text ahead is
  // woken; for small ones it is woken when this thread next waits.
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nTextBytes -= size;
    wake = size >= kLargeText && canRead() && claimWake(m_bMainWaiting);
  }
  if (wake) m_mainCv.notify_one();
}

void CConvertAhead::push(CAheadEvent event) {
  const std::size_t size = event.footprint();
  const bool temporary = event.symbol.temporary != nullptr;
  // Progress is shown as it comes; other results wake a batch at a time.
  const bool urgent = event.kind == CAheadEvent::Kind::kProgress;
  bool wake = false;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_workerWait = WorkerWait::kRoom;
    m_nRoomWanted = size;
    m_bTemporaryWanted = temporary;
    waitFor(lock, m_workerCv, m_bWorkerWaiting,
            [&] { return m_bStop || roomFor(size, temporary); });
    if (m_bStop) throw CAheadStopped();
    m_nEventBytes += size;
    if (temporary) ++m_nTemporaries;
    // The file system's work goes to whichever thread has time for it: to
    // this one while results wait for the writing thread, which then has
    // only to rename; otherwise to the writing thread, which would only wait.
    m_bWriteNext = m_events.size() >= m_plan.write_backlog;
    m_events.push_back(std::move(event));
    wake =
        (urgent || m_events.size() >= kWakeBatch) && claimWake(m_bMainWaiting);
    m_graveyard.swap(m_spent);
  }
  if (wake) m_mainCv.notify_one();
  m_graveyard.clear();
}
