// The guarded call against the test check libraries: what a library leaves
// unhandled (a crash, a division by zero, an exception of its own run-time,
// a stack overflow) ends the call, is described, and the next call works;
// what a library handles itself keeps its answer.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "checklib/CheckCommand.h"
#include "checklib/GuardedCall.h"
#include "checklib/VrifaxApi.h"
#include "resources/ControlIds.h"

namespace {

std::wstring FixturePath(const wchar_t* name) {
  return std::wstring(TESSARIN_CHECKLIB_FIXTURES) + L"\\" + name + L"\\Vrifax.dll";
}

struct Call {
  TCheckOne check;
  unsigned char result;
};

void CallCheck(void* context) {
  auto* call = static_cast<Call*>(context);
  call->result = call->check(u"7707083893");
}

// Loads a fixture (kept loaded, as after a fault) and returns the entry
// point with this ordinal.
void* LoadEntry(const wchar_t* fixture, int ordinal) {
  HMODULE library = LoadLibraryW(FixturePath(fixture).c_str());
  EXPECT_NE(library, nullptr) << "fixture " << std::string(fixture, fixture + wcslen(fixture));
  if (!library) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
}

// A one-argument check of a fixture, the INN check by default.
TCheckOne LoadCheck(const wchar_t* fixture, int ordinal = 1) {
  return reinterpret_cast<TCheckOne>(LoadEntry(fixture, ordinal));
}

struct PairCall {
  TCheckTwo check;
  unsigned char result;
};

void CallPair(void* context) {
  auto* call = static_cast<PairCall*>(context);
  call->result = call->check(u"40702810900000000001", u"044525225");
}

TCheckTwo LoadPairCheck(const wchar_t* fixture, int ordinal) {
  return reinterpret_cast<TCheckTwo>(LoadEntry(fixture, ordinal));
}

std::wstring Hex(const void* address) {
  wchar_t text[32];
  swprintf(text, 32, L"%0*llX", static_cast<int>(2 * sizeof(void*)),
           static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(address)));
  return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(GuardedCall, FaultsInsideTheLibraryEndTheCall) {
  struct Case {
    const wchar_t* fixture;
    DWORD code;
    std::wstring start;
    const char* reason;
  };
  const Case cases[] = {
      {L"crash", EXCEPTION_ACCESS_VIOLATION, L"Access violation at address ", "reads address 0x10"},
      {L"divide", EXCEPTION_INT_DIVIDE_BY_ZERO, L"Division by zero at address ", "integer division"},
      {L"foreign", 0xE0465831, L"External exception E0465831 at address ",
       "RaiseException of the library's own run-time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    Call call{LoadCheck(c.fixture), 0xAA};
    ASSERT_NE(call.check, nullptr);
    LibraryFault fault;
    EXPECT_FALSE(CallGuarded(&CallCheck, &call, &fault));
    EXPECT_EQ(call.result, 0xAA) << "no result after a fault";
    EXPECT_EQ(fault.code, c.code);
    const std::wstring text = DescribeFault(fault);
    EXPECT_EQ(text.rfind(c.start, 0), 0u) << Narrow(text);
    EXPECT_NE(text.find(Hex(fault.address)), std::wstring::npos) << Narrow(text);
    // The raising module of a software exception is the system's, not the library.
    if (c.code != 0xE0465831) {
      EXPECT_NE(text.find(L" in module 'Vrifax.dll'"), std::wstring::npos) << Narrow(text);
    }
  }
}

TEST(GuardedCall, ExceptionsTheLibraryHandlesItselfKeepItsAnswer) {
  struct Case {
    int ordinal;
    const char* reason;
  };
  const Case cases[] = {
      {1, "an access violation caught inside IsBadReadPtr"},
      {4, "an exception of its own, taken by the library's own frame handler"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    Call call{LoadCheck(L"handled", c.ordinal), 0xAA};
    ASSERT_NE(call.check, nullptr);
    LibraryFault fault;
    EXPECT_TRUE(CallGuarded(&CallCheck, &call, &fault)) << "ended by code " << std::hex
                                                        << fault.code;
    EXPECT_EQ(call.result, 1) << "the library's own verdict";
  }
}

TEST(GuardedCall, EndingACallRunsTheLibrarysUnwindHandlers) {
  PairCall fault{LoadPairCheck(L"handled", 5), 0xAA};
  PairCall unwound{LoadPairCheck(L"handled", 6), 0xAA};
  ASSERT_NE(fault.check, nullptr);
  ASSERT_NE(unwound.check, nullptr);
  LibraryFault record;
  ASSERT_FALSE(CallGuarded(&CallPair, &fault, &record)) << "the library declined its fault";
  EXPECT_EQ(record.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  ASSERT_TRUE(CallGuarded(&CallPair, &unwound, &record));
  EXPECT_EQ(unwound.result, 1) << "the library's frame handler was called to unwind";
}

TEST(GuardedCall, EveryStackOverflowIsReportedAsOne) {
  Call overflow{LoadCheck(L"overflow"), 0};
  Call valid{LoadCheck(L"overflow", 4), 0};
  ASSERT_NE(overflow.check, nullptr);
  ASSERT_NE(valid.check, nullptr);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    LibraryFault fault;
    ASSERT_FALSE(CallGuarded(&CallCheck, &overflow, &fault));
    EXPECT_EQ(fault.code, static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW)) << std::hex << fault.code;
    EXPECT_TRUE(fault.guardRestored);
    EXPECT_EQ(DescribeFault(fault).rfind(L"Stack overflow at address ", 0), 0u)
        << Narrow(DescribeFault(fault));
    EXPECT_TRUE(CallGuarded(&CallCheck, &valid, &fault));
    EXPECT_EQ(valid.result, 1);
  }
}

TEST(GuardedCall, AccessViolationNamesTheAddressRead) {
  Call call{LoadCheck(L"crash"), 0};
  ASSERT_NE(call.check, nullptr);
  LibraryFault fault;
  ASSERT_FALSE(CallGuarded(&CallCheck, &call, &fault));
  const std::wstring text = DescribeFault(fault);
  const std::wstring tail = L"in module 'Vrifax.dll'. Read of address " +
                            Hex(reinterpret_cast<const void*>(0x10));
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << Narrow(text);
  const ECheckLibraryFault raised(fault);
  EXPECT_EQ(raised.Message(), std::u16string(text.begin(), text.end()));
}

TEST(GuardedCall, CallsAfterAFaultStillWork) {
  Call crash{LoadCheck(L"crash"), 0};
  Call valid{LoadCheck(L"valid"), 0};
  ASSERT_NE(crash.check, nullptr);
  ASSERT_NE(valid.check, nullptr);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    LibraryFault fault;
    EXPECT_FALSE(CallGuarded(&CallCheck, &crash, &fault));
    EXPECT_TRUE(CallGuarded(&CallCheck, &valid, &fault));
    EXPECT_EQ(valid.result, 0x80) << "the low byte of the fixture's result";
  }
}

TEST(GuardedCall, OwnCppExceptionsPassThrough) {
  LibraryFault fault;
  EXPECT_THROW(CallGuarded([](void*) { throw std::runtime_error("ours"); }, nullptr, &fault),
               std::runtime_error);
  // A caught exception inside the call is no fault either.
  EXPECT_TRUE(CallGuarded(
      [](void*) {
        try {
          throw std::runtime_error("handled");
        } catch (const std::exception&) {
        }
      },
      nullptr, &fault));
  // And a fault after that is still caught: the guard was left clean.
  Call crash{LoadCheck(L"crash"), 0};
  ASSERT_NE(crash.check, nullptr);
  EXPECT_FALSE(CallGuarded(&CallCheck, &crash, &fault));
}

constexpr DWORD kOtherThreadCode = 0xE0544852;

LONG CALLBACK ContinueOtherThreadCode(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == kOtherThreadCode ? EXCEPTION_CONTINUE_EXECUTION
                                                                  : EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI RaiseAndGoOn(void*) {
  RaiseException(kOtherThreadCode, 0, 0, nullptr);  // continued by its own handler
  return 7;
}

void RunThreadThatRaises(void* exitCode) {
  HANDLE thread = CreateThread(nullptr, 0, &RaiseAndGoOn, nullptr, 0, nullptr);
  if (!thread) return;
  WaitForSingleObject(thread, 10000);
  GetExitCodeThread(thread, static_cast<DWORD*>(exitCode));
  CloseHandle(thread);
}

TEST(GuardedCall, ExceptionsOfOtherThreadsAreLeftToThem) {
  // The other thread's exception is its own handler's, whatever the guard
  // of this thread does meanwhile.
  PVOID own = AddVectoredExceptionHandler(0, &ContinueOtherThreadCode);
  ASSERT_NE(own, nullptr);
  DWORD exitCode = 0;
  LibraryFault fault;
  const bool returned = CallGuarded(&RunThreadThatRaises, &exitCode, &fault);
  RemoveVectoredExceptionHandler(own);
  EXPECT_TRUE(returned);
  EXPECT_EQ(exitCode, 7u) << "the other thread went on after its exception";
}

TEST(GuardedCall, InformationalExceptionsPassThrough) {
  LibraryFault fault;
  // Debug output is an informational exception that its raiser handles.
  EXPECT_TRUE(CallGuarded([](void*) { OutputDebugStringW(L"guarded call test\n"); }, nullptr,
                          &fault));
}

TEST(GuardedCall, FaultOutsideTheLibraryCodeIsDescribedWithoutModule) {
  Call call{reinterpret_cast<TCheckOne>(static_cast<ULONG_PTR>(0x20)), 0};
  LibraryFault fault;
  ASSERT_FALSE(CallGuarded(&CallCheck, &call, &fault));
  EXPECT_EQ(fault.code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  const std::wstring text = DescribeFault(fault);
  EXPECT_EQ(text.find(L"in module"), std::wstring::npos) << Narrow(text);
}

TEST(CheckCommands, ButtonsThatAreNoCheckCommandAreRefused) {
  EXPECT_THROW(CheckCommandFor(ID_Button6), EError);
  EXPECT_THROW(CheckCommandFor(ID_Button9), EError);
  EXPECT_EQ(CheckCommandFor(ID_Button10).ordinal, CheckOrdinal::EGN);
}

}  // namespace
