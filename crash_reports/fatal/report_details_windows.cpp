// Windows: the stack by CaptureStackBackTrace or, at a fault, by unwinding
// the exception's CONTEXT; symbols from DbgHelp; modules and processes from
// ToolHelp snapshots; registers from the CONTEXT. No heap of our own: texts
// are converted into buffers on the stack.
#include <windows.h>
// After windows.h, which they need.
#include <dbghelp.h>
#include <tlhelp32.h>

#include "crash_reports/fatal/neutralised_text.h"
#include "crash_reports/fatal/report_details.h"

namespace kestrum {

namespace {

void WriteIndent(TextSink& sink) { sink.Write("  "); }

void WriteWide(TextSink& sink, const wchar_t* text) {
  // A path of MAX_PATH characters takes at most three bytes each in UTF-8.
  char utf8[MAX_PATH * 3];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  if (bytes > 1) {
    WriteNeutralised(sink, std::string_view(utf8, static_cast<std::size_t>(bytes - 1)));
  }
}

const wchar_t* BaseName(const wchar_t* path) {
  const wchar_t* base = path;
  for (const wchar_t* c = path; *c != L'\0'; ++c) {
    if (*c == L'\\' || *c == L'/') {
      base = c + 1;
    }
  }
  return base;
}

HMODULE ModuleAt(std::uintptr_t address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(address), &module);
  return module;
}

// The exported name of the function that holds address, for a module whose
// debug symbols DbgHelp cannot read (mingw's DWARF, a release without PDB):
// the function's start from the unwind table, its name from the export
// table, so a name is never borrowed from a neighbouring function.
const char* ExportedFunctionAt(HMODULE module, std::uintptr_t address, std::uintptr_t& displacement) {
  DWORD64 imageBase = 0;
  const RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(address, &imageBase, nullptr);
  if (function == nullptr || imageBase != reinterpret_cast<DWORD64>(module)) {
    return nullptr;
  }
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || directory.VirtualAddress == 0) {
    return nullptr;
  }
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    if (functions[ordinals[i]] == function->BeginAddress) {
      displacement = address - (reinterpret_cast<std::uintptr_t>(base) + function->BeginAddress);
      return reinterpret_cast<const char*>(base + names[i]);
    }
  }
  return nullptr;
}

// "name!symbol+0x1c" or "name+0x1c40", as debuggers write it.
void WriteLocation(TextSink& sink, std::uintptr_t address) {
  const HMODULE module = ModuleAt(address);
  wchar_t path[MAX_PATH];
  if (module == nullptr || GetModuleFileNameW(module, path, MAX_PATH) == 0) {
    return;
  }
  WriteWide(sink, BaseName(path));
  alignas(SYMBOL_INFO) char symbolBuffer[sizeof(SYMBOL_INFO) + 256];
  auto* symbol = reinterpret_cast<SYMBOL_INFO*>(symbolBuffer);
  symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
  symbol->MaxNameLen = 256;
  DWORD64 displacement = 0;
  if (SymFromAddr(GetCurrentProcess(), address, &displacement, symbol)) {
    sink.Write("!");
    WriteNeutralised(sink, Bounded(symbol->Name, symbol->NameLen));
    sink.Write("+");
    WriteHex(sink, displacement);
  } else if (std::uintptr_t offset = 0; const char* exported = ExportedFunctionAt(module, address, offset)) {
    sink.Write("!");
    WriteNeutralised(sink, Bounded(exported, 256));
    sink.Write("+");
    WriteHex(sink, offset);
  } else {
    sink.Write("+");
    WriteHex(sink, address - reinterpret_cast<std::uintptr_t>(module));
  }
  sink.Write(" ");
}

// Committed memory that may be read, so that reading the word at address
// cannot fault.
bool IsReadableWord(DWORD64 address) {
  MEMORY_BASIC_INFORMATION region{};
  if (address % sizeof(DWORD64) != 0 ||
      VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) == 0) {
    return false;
  }
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return region.State == MEM_COMMIT && (region.Protect & kReadable) != 0 && (region.Protect & PAGE_GUARD) == 0;
}

bool IsFrameIn(void* frame, HMODULE module) {
  return module != nullptr && ModuleAt(reinterpret_cast<std::uintptr_t>(frame)) == module;
}

class Snapshot {
 public:
  explicit Snapshot(DWORD what) : handle_(CreateToolhelp32Snapshot(what, 0)) {}
  ~Snapshot() {
    if (IsOpen()) {
      CloseHandle(handle_);
    }
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Handle() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

void PrepareReportDetails() {
  SymSetOptions(SYMOPT_UNDNAME | SYMOPT_DEFERRED_LOADS);
  SymInitialize(GetCurrentProcess(), nullptr, TRUE);
}

std::string OperatingSystemDescription() {
  // GetVersionEx tells what the program's manifest asks for; RtlGetVersion
  // tells the truth.
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  std::string description = "Windows";
  if (auto rtlGetVersion =
          reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
      rtlGetVersion != nullptr && rtlGetVersion(&version) == 0) {
    description += " " + std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
                   " build " + std::to_string(version.dwBuildNumber);
  }
  using WineGetVersionFunction = const char*(CDECL*)();
  if (auto wineGetVersion =
          reinterpret_cast<WineGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
      wineGetVersion != nullptr) {
    description += std::string(", running on wine ") + wineGetVersion();
  }
  return description;
}

int CaptureCurrentFrames(void** frames, int most, int framesToSkip) {
  return CaptureStackBackTrace(static_cast<DWORD>(1 + framesToSkip), static_cast<DWORD>(most), frames, nullptr);
}

FaultFrames CaptureFaultFrames(void** frames, int most, void* faultContext) {
  CONTEXT context = *static_cast<const CONTEXT*>(faultContext);
  FaultFrames walk;
  while (walk.count < most) {
    frames[walk.count++] = reinterpret_cast<void*>(context.Rip);
    DWORD64 imageBase = 0;
    RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function == nullptr) {
      // A leaf function, or a pc outside every module (a call through a
      // corrupted or null pointer): the return address is on top of the
      // stack.
      if (!IsReadableWord(context.Rsp)) {
        break;
      }
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += 8;
    } else {
      void* handlerData = nullptr;
      DWORD64 establisherFrame = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData, &establisherFrame,
                       nullptr);
    }
    if (context.Rip == 0) {
      break;
    }
  }
  return walk;
}

bool IsInAnyModule(const void* address) { return ModuleAt(reinterpret_cast<std::uintptr_t>(address)) != nullptr; }

void WriteCallStack(TextSink& sink, void* const* frames, int count, bool firstIsFault) {
  for (int i = 0; i < count; ++i) {
    const auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
    WriteIndent(sink);
    WriteLocation(sink, i == 0 && firstIsFault ? address : address - 1);
    sink.Write("[");
    WriteHex(sink, address);
    sink.Write("]\n");
  }
}

int FirstFrameOutsideRuntime(void* const* frames, int count) {
  // The stack of abort's signal handler: the reporter's own frames, the C
  // runtime's (raise, abort; a DLL, not the program), then the frame that
  // called abort.
  if (count == 0) {
    return 0;
  }
  const HMODULE reporter = ModuleAt(reinterpret_cast<std::uintptr_t>(frames[0]));
  int i = 0;
  while (i < count && IsFrameIn(frames[i], reporter)) {
    ++i;
  }
  const HMODULE runtime = i < count ? ModuleAt(reinterpret_cast<std::uintptr_t>(frames[i])) : nullptr;
  while (i < count && IsFrameIn(frames[i], runtime)) {
    ++i;
  }
  return i < count ? i : 0;
}

void WriteLoadedModules(TextSink& sink) {
  const Snapshot modules(TH32CS_SNAPMODULE);
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = modules.IsOpen() && Module32FirstW(modules.Handle(), &entry); more;
       more = Module32NextW(modules.Handle(), &entry)) {
    WriteIndent(sink);
    WriteHex(sink, reinterpret_cast<std::uintptr_t>(entry.modBaseAddr));
    sink.Write(" ");
    WriteWide(sink, entry.szExePath);
    sink.Write("\n");
  }
}

void WriteRunningProcesses(TextSink& sink) {
  const Snapshot processes(TH32CS_SNAPPROCESS);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = processes.IsOpen() && Process32FirstW(processes.Handle(), &entry); more;
       more = Process32NextW(processes.Handle(), &entry)) {
    WriteIndent(sink);
    WriteDecimal(sink, entry.th32ProcessID);
    sink.Write(" ");
    WriteWide(sink, entry.szExeFile);
    sink.Write("\n");
  }
}

void WriteProcessorState(TextSink& sink, const void* faultContext) {
  const auto& context = *static_cast<const CONTEXT*>(faultContext);
  struct NamedRegister {
    const char* name;
    DWORD64 value;
  };
  const NamedRegister registers[] = {{"rip", context.Rip},       {"rsp", context.Rsp}, {"rbp", context.Rbp},
                                     {"eflags", context.EFlags}, {"rax", context.Rax}, {"rbx", context.Rbx},
                                     {"rcx", context.Rcx},       {"rdx", context.Rdx}, {"rsi", context.Rsi},
                                     {"rdi", context.Rdi},       {"r8", context.R8},   {"r9", context.R9},
                                     {"r10", context.R10},       {"r11", context.R11}, {"r12", context.R12},
                                     {"r13", context.R13},       {"r14", context.R14}, {"r15", context.R15}};
  int inLine = 0;
  for (const NamedRegister& reg : registers) {
    sink.Write("  ");
    WriteBounded(sink, reg.name, 8);
    sink.Write("=");
    WriteHex(sink, reg.value, 16);
    if (++inLine == 4) {
      sink.Write("\n");
      inLine = 0;
    }
  }
  if (inLine != 0) {
    sink.Write("\n");
  }
}

}  // namespace kestrum
