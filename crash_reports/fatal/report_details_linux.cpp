// Linux: the stack through the compiler's unwinder and dladdr, the modules
// and mapped ranges from /proc/self/maps, the processes from /proc, the
// registers from the signal's ucontext. Only system calls and fixed buffers
// once prepared.
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "crash_reports/fatal/fault_guard_posix.h"
#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/report_details.h"

namespace kestrum {

namespace {

void WriteIndent(TextSink& sink) { sink.Write("  "); }

// Reads a file line by line into a fixed buffer; longer lines are cut.
class LineReader {
 public:
  explicit LineReader(const char* path) : file_(::open(path, O_RDONLY | O_CLOEXEC)) {}
  ~LineReader() {
    if (file_ >= 0) {
      ::close(file_);
    }
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool IsOpen() const { return file_ >= 0; }

  // The next line without its newline, or false at the end.
  bool Next(std::string_view& line) {
    std::size_t length = 0;
    for (;;) {
      if (position_ == filled_ && !Refill()) {
        line = std::string_view(line_, length);
        return length > 0;
      }
      const char c = chunk_[position_++];
      if (c == '\n') {
        line = std::string_view(line_, length);
        return true;
      }
      if (length < sizeof line_) {
        line_[length++] = c;
      }
    }
  }

 private:
  bool Refill() {
    ssize_t count = 0;
    do {
      count = ::read(file_, chunk_, sizeof chunk_);
    } while (count < 0 && errno == EINTR);
    position_ = 0;
    filled_ = count > 0 ? static_cast<std::size_t>(count) : 0;
    return filled_ > 0;
  }

  int file_;
  char chunk_[1024];
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  char line_[512];
};

std::string_view NextField(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  const std::size_t end = text.find(' ');
  const std::string_view field = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end);
  return field;
}

std::uintptr_t HexValue(std::string_view digits) {
  std::uintptr_t value = 0;
  for (const char c : digits) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) {
      return 0;
    }
    value = value * 16 + static_cast<std::uintptr_t>(digit);
  }
  return value;
}

// Copies size bytes at address of this process into buffer through the
// kernel, which gives an error where a read of the address itself would
// fault: an unmapped page, a file mapping beyond its file's end (SIGBUS).
bool ReadWithoutFaulting(std::uintptr_t address, void* buffer, std::size_t size) {
  iovec local{buffer, size};
  iovec remote{reinterpret_cast<void*>(address), size};
  return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == static_cast<ssize_t>(size);
}

// A line of /proc/self/maps: "start-end perms offset dev inode path". A
// module starts at its readable mapping of file offset 0, which begins with
// the ELF header: gives its path and base address there, nothing for other
// lines (and for mapped fonts and caches).
std::string_view ModuleStartingAt(std::string_view line, std::string_view& baseAddress) {
  const std::string_view range = NextField(line);
  const std::string_view permissions = NextField(line);
  const std::string_view offset = NextField(line);
  NextField(line);  // device
  NextField(line);  // inode
  while (!line.empty() && line.front() == ' ') {
    line.remove_prefix(1);
  }
  if (line.empty() || line.front() != '/' || !permissions.starts_with('r') ||
      offset.find_first_not_of('0') != std::string_view::npos) {
    return {};
  }
  baseAddress = range.substr(0, range.find('-'));
  constexpr char kElfMagic[4] = {0x7f, 'E', 'L', 'F'};
  char start[sizeof kElfMagic] = {};
  return ReadWithoutFaulting(HexValue(baseAddress), start, sizeof start) &&
                 std::memcmp(start, kElfMagic, sizeof kElfMagic) == 0
             ? line
             : std::string_view();
}

// Whether a mapping holds address and is executable, as /proc/self/maps lists
// it now. Reads the list, never the address.
bool IsInExecutableMapping(std::uintptr_t address) {
  LineReader maps("/proc/self/maps");
  std::string_view line;
  while (maps.Next(line)) {
    const std::string_view range = NextField(line);
    const std::string_view permissions = NextField(line);
    const std::size_t dash = range.find('-');
    if (dash == std::string_view::npos || permissions.size() < 3) {
      continue;
    }
    if (address >= HexValue(range.substr(0, dash)) && address < HexValue(range.substr(dash + 1))) {
      return permissions[2] == 'x';
    }
  }
  return false;
}

#if defined(__x86_64__)
std::uintptr_t ProgramCounter(const ucontext_t& context) {
  return static_cast<std::uintptr_t>(context.uc_mcontext.gregs[REG_RIP]);
}

// The state of the caller of a function that was called but never started:
// the call pushed the return address, so it is on top of the stack.
bool MoveToCaller(ucontext_t& context) {
  greg_t* const registers = context.uc_mcontext.gregs;
  const auto stackPointer = static_cast<std::uintptr_t>(registers[REG_RSP]);
  std::uintptr_t returnAddress = 0;
  if (!ReadWithoutFaulting(stackPointer, &returnAddress, sizeof returnAddress)) {
    return false;
  }
  registers[REG_RIP] = static_cast<greg_t>(returnAddress);
  registers[REG_RSP] = static_cast<greg_t>(stackPointer + sizeof returnAddress);
  return true;
}
#elif defined(__aarch64__)
std::uintptr_t ProgramCounter(const ucontext_t& context) { return context.uc_mcontext.pc; }

// A call leaves the return address in the link register, x30.
bool MoveToCaller(ucontext_t& context) {
  context.uc_mcontext.pc = context.uc_mcontext.regs[30];
  return true;
}
#else
std::uintptr_t ProgramCounter(const ucontext_t&) { return 0; }
bool MoveToCaller(ucontext_t&) { return false; }
#endif

struct UnwoundFrames {
  void** frames;
  int most;
  int count;
};

_Unwind_Reason_Code StoreFrame(_Unwind_Context* context, void* data) {
  auto& unwound = *static_cast<UnwoundFrames*>(data);
  const _Unwind_Ptr address = _Unwind_GetIP(context);
  // The outermost frame (_start's caller) has no return address.
  if (unwound.count == unwound.most || address == 0) {
    return _URC_END_OF_STACK;
  }
  unwound.frames[unwound.count++] = reinterpret_cast<void*>(address);
  return _URC_NO_REASON;
}

bool IsProcessId(const char* name) {
  if (*name == '\0') {
    return false;
  }
  for (; *name != '\0'; ++name) {
    if (*name < '0' || *name > '9') {
      return false;
    }
  }
  return true;
}

void WriteProcess(TextSink& sink, const char* id) {
  // "/proc/" + up to 10 digits of a process id + "/comm".
  char path[32] = "/proc/";
  std::strncat(path, id, 10);
  std::strcat(path, "/comm");
  LineReader comm(path);
  std::string_view name;
  if (!comm.IsOpen() || !comm.Next(name)) {
    return;  // ended meanwhile
  }
  WriteIndent(sink);
  WriteBounded(sink, id, 10);
  sink.Write(" ");
  WriteNeutralised(sink, name);
  sink.Write("\n");
}

// The layout the getdents64 system call fills; glibc declares it only for
// its own readdir.
struct LinuxDirectoryEntry {
  std::uint64_t inode;
  std::int64_t nextOffset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

}  // namespace

void PrepareReportDetails() {
  // The first backtrace loads libgcc_s, which allocates, and the first walk
  // sets up the unwinder: done here, not in a signal handler.
  void* frame = nullptr;
  backtrace(&frame, 1);
  UnwoundFrames unwound{&frame, 1, 0};
  _Unwind_Backtrace(StoreFrame, &unwound);
}

std::string OperatingSystemDescription() {
  std::string description;
  std::ifstream release("/etc/os-release");
  for (std::string line; std::getline(release, line);) {
    if (line.starts_with("PRETTY_NAME=")) {
      description = line.substr(12);
      std::erase(description, '"');
    }
  }
  utsname system{};
  if (uname(&system) == 0) {
    description += (description.empty() ? "" : ", ") + std::string(system.sysname) + " " + system.release + " " +
                   system.version + " " + system.machine;
  }
  return description.empty() ? std::string("Linux") : description;
}

__attribute__((noinline)) int CaptureCurrentFrames(void** frames, int most, int framesToSkip) {
  void* all[kMostReportedFrames + 16];
  const int count = backtrace(all, static_cast<int>(std::size(all)));
  // The stack starts at the return into the caller. Found by its address,
  // since instrumented builds (the sanitizers) may add frames of their own
  // below it.
  void* const caller = __builtin_return_address(0);
  int first = 1;
  for (int i = 0; i < count; ++i) {
    if (all[i] == caller) {
      first = i;
      break;
    }
  }
  int stored = 0;
  for (int i = first + framesToSkip; i < count && stored < most; ++i) {
    frames[stored++] = all[i];
  }
  return stored;
}

FaultFrames CaptureFaultFrames(void** frames, int most, void* faultContext) {
  auto& context = *static_cast<ucontext_t*>(faultContext);
  const mcontext_t registersAtTheFault = context.uc_mcontext;
  FaultFrames walk;
  // The unwinder reads the instructions at a pc it has no unwind table for,
  // to tell a signal frame: a pc outside every module would fault again.
  // The walk starts from its caller instead, by way of the context the
  // kernel saved, through which the unwinder passes the signal frame.
  const auto faultAddress = reinterpret_cast<void*>(ProgramCounter(context));
  if (!IsInAnyModule(faultAddress)) {
    frames[walk.count++] = faultAddress;
    if (walk.count == most || !MoveToCaller(context)) {
      return walk;
    }
  }
  const auto walkStart = reinterpret_cast<void*>(ProgramCounter(context));
  // The handler's own frames and the signal frame come first.
  void* all[kMostReportedFrames + 32];
  UnwoundFrames unwound{all, static_cast<int>(std::size(all)), 0};
  auto unwind = [&unwound] { _Unwind_Backtrace(StoreFrame, &unwound); };
  GuardedFault fault;
  walk.stoppedByFault = !RunGuarded(unwind, fault);
  walk.unreadableAddress = fault.address;
  context.uc_mcontext = registersAtTheFault;
  int first = 0;
  while (first < unwound.count && all[first] != walkStart) {
    ++first;
  }
  if (first == unwound.count) {
    first = 0;
  }
  for (int i = first; i < unwound.count && walk.count < most; ++i) {
    frames[walk.count++] = all[i];
  }
  return walk;
}

// An executable mapping: a module's code (or code made at run time).
bool IsInAnyModule(const void* address) { return IsInExecutableMapping(reinterpret_cast<std::uintptr_t>(address)); }

// Symbols by dladdr, as backtrace_symbols_fd finds them: it does not
// allocate, but takes the dynamic loader's lock, so a fault inside the loader
// itself would stop the report here. The module list comes from /proc and
// does not need the loader.
void WriteCallStack(TextSink& sink, void* const* frames, int count, bool firstIsFault) {
  for (int i = 0; i < count; ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
    const std::uintptr_t lookup = i == 0 && firstIsFault ? address : address - 1;
    Dl_info info{};
    WriteIndent(sink);
    if (dladdr(reinterpret_cast<void*>(lookup), &info) != 0 && info.dli_fname != nullptr) {
      // As backtrace_symbols writes it: module(symbol+offset) or module(+offset).
      WriteNeutralised(sink, Bounded(info.dli_fname, 256));
      sink.Write("(");
      if (info.dli_sname != nullptr) {
        WriteNeutralised(sink, Bounded(info.dli_sname, 256));
        sink.Write("+");
        WriteHex(sink, address - reinterpret_cast<std::uintptr_t>(info.dli_saddr));
      } else {
        sink.Write("+");
        WriteHex(sink, address - reinterpret_cast<std::uintptr_t>(info.dli_fbase));
      }
      sink.Write(") ");
    }
    sink.Write("[");
    WriteHex(sink, address);
    sink.Write("]\n");
  }
}

int FirstFrameOutsideRuntime(void* const* frames, int count) {
  Dl_info runtime{};
  if (dladdr(reinterpret_cast<void*>(&abort), &runtime) == 0) {
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    Dl_info info{};
    if (dladdr(frames[i], &info) == 0 || info.dli_fbase != runtime.dli_fbase) {
      return i;
    }
  }
  return 0;
}

void WriteLoadedModules(TextSink& sink) {
  LineReader maps("/proc/self/maps");
  // A module mapped twice at offset 0 is listed once; the reader reuses its
  // line buffer, so the last path is kept apart.
  char previous[512];
  std::size_t previousLength = 0;
  std::string_view line;
  while (maps.Next(line)) {
    std::string_view baseAddress;
    const std::string_view path = ModuleStartingAt(line, baseAddress);
    if (path.empty() || path == std::string_view(previous, previousLength)) {
      continue;
    }
    WriteIndent(sink);
    sink.Write("0x");
    sink.Write(baseAddress);
    sink.Write(" ");
    WriteNeutralised(sink, path);
    sink.Write("\n");
    previousLength = path.size() < sizeof previous ? path.size() : sizeof previous;
    std::memcpy(previous, path.data(), previousLength);
  }
}

void WriteRunningProcesses(TextSink& sink) {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc < 0) {
    return;
  }
  alignas(LinuxDirectoryEntry) char entries[4096];
  for (;;) {
    const long filled = syscall(SYS_getdents64, proc, entries, sizeof entries);
    if (filled <= 0) {
      break;
    }
    for (long offset = 0; offset < filled;) {
      const auto* entry = reinterpret_cast<const LinuxDirectoryEntry*>(entries + offset);
      if (IsProcessId(entry->name)) {
        WriteProcess(sink, entry->name);
      }
      offset += entry->length;
    }
  }
  ::close(proc);
}

void WriteProcessorState(TextSink& sink, const void* faultContext) {
  const auto& machine = static_cast<const ucontext_t*>(faultContext)->uc_mcontext;
#if defined(__x86_64__)
  struct NamedRegister {
    const char* name;
    int index;
  };
  static constexpr NamedRegister kRegisters[] = {
      {"rip", REG_RIP}, {"rsp", REG_RSP},       {"rbp", REG_RBP}, {"efl", REG_EFL}, {"rax", REG_RAX}, {"rbx", REG_RBX},
      {"rcx", REG_RCX}, {"rdx", REG_RDX},       {"rsi", REG_RSI}, {"rdi", REG_RDI}, {"r8", REG_R8},   {"r9", REG_R9},
      {"r10", REG_R10}, {"r11", REG_R11},       {"r12", REG_R12}, {"r13", REG_R13}, {"r14", REG_R14}, {"r15", REG_R15},
      {"err", REG_ERR}, {"trapno", REG_TRAPNO}, {"cr2", REG_CR2}};
  int inLine = 0;
  for (const NamedRegister& reg : kRegisters) {
    sink.Write("  ");
    WriteBounded(sink, reg.name, 8);
    sink.Write("=");
    WriteHex(sink, static_cast<std::uint64_t>(machine.gregs[reg.index]), 16);
    if (++inLine == 4) {
      sink.Write("\n");
      inLine = 0;
    }
  }
  if (inLine != 0) {
    sink.Write("\n");
  }
#elif defined(__aarch64__)
  for (int i = 0; i < 31; ++i) {
    sink.Write("  x");
    WriteDecimal(sink, static_cast<std::uint64_t>(i));
    sink.Write("=");
    WriteHex(sink, machine.regs[i], 16);
    if (i % 4 == 3) {
      sink.Write("\n");
    }
  }
  sink.Write("  sp=");
  WriteHex(sink, machine.sp, 16);
  sink.Write("  pc=");
  WriteHex(sink, machine.pc, 16);
  sink.Write("  pstate=");
  WriteHex(sink, machine.pstate, 16);
  sink.Write("\n");
#else
  (void)machine;
  sink.Write("  (not read on this processor)\n");
#endif
}

}  // namespace kestrum
