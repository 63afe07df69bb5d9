#include "common/win32/single_copy_win32.h"

#include <sddl.h>

#include <vector>

#include "common/win32/window_identity.h"

namespace vantora::win32 {

namespace {

// Vista's calls, looked up rather than imported so that the programs still load where
// they are missing. kernel32 is always loaded.
template <typename Pointer>
Pointer kernel32Function(const char* name) {
    return reinterpret_cast<Pointer>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
}

using CreateBoundaryDescriptorWFn = HANDLE(WINAPI*)(LPCWSTR, ULONG);
using AddSidToBoundaryDescriptorFn = BOOL(WINAPI*)(HANDLE*, PSID);
using DeleteBoundaryDescriptorFn = VOID(WINAPI*)(HANDLE);
using CreatePrivateNamespaceWFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
using OpenPrivateNamespaceWFn = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
using ClosePrivateNamespaceFn = BOOLEAN(WINAPI*)(HANDLE, ULONG);

const wchar_t* aliasOf(SingleCopyBoundary boundary) {
    return boundary == SingleCopyBoundary::Administrators ? L"Vantora.Administrators" : L"Vantora.User";
}

std::wstring widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The process's TOKEN_USER; empty when the token cannot be read.
std::vector<BYTE> tokenUser() {
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
    const UniqueHandle token(opened);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    return buffer;
}

std::wstring userSidText() {
    const std::vector<BYTE> user = tokenUser();
    LPWSTR text = nullptr;
    if (user.empty() || !::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text))
        return {};
    std::wstring result(text);
    ::LocalFree(text);
    return result;
}

bool boundarySid(SingleCopyBoundary boundary, BYTE (&sid)[SECURITY_MAX_SID_SIZE]) {
    DWORD size = sizeof sid;
    if (boundary == SingleCopyBoundary::Administrators)
        return ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) != FALSE;
    const std::vector<BYTE> user = tokenUser();
    return !user.empty() && ::CopySid(size, sid, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

}  // namespace

Win32SingleCopy::Win32SingleCopy(std::string name, SingleCopyBoundary boundary)
    : name_(std::move(name)), boundary_(boundary) {}

Win32SingleCopy::~Win32SingleCopy() {
    mutex_.reset();
    if (namespace_) kernel32Function<ClosePrivateNamespaceFn>("ClosePrivateNamespace")(namespace_, 0);
}

bool Win32SingleCopy::openNamespace() {
    const auto createBoundary = kernel32Function<CreateBoundaryDescriptorWFn>("CreateBoundaryDescriptorW");
    const auto addSid = kernel32Function<AddSidToBoundaryDescriptorFn>("AddSIDToBoundaryDescriptor");
    const auto deleteBoundary = kernel32Function<DeleteBoundaryDescriptorFn>("DeleteBoundaryDescriptor");
    const auto create = kernel32Function<CreatePrivateNamespaceWFn>("CreatePrivateNamespaceW");
    const auto open = kernel32Function<OpenPrivateNamespaceWFn>("OpenPrivateNamespaceW");
    const auto close = kernel32Function<ClosePrivateNamespaceFn>("ClosePrivateNamespace");
    if (!createBoundary || !addSid || !deleteBoundary || !create || !open || !close) return false;
    // Wine 8 answers null here, and its other boundary calls end the process when
    // called at all: nothing below may run without a descriptor.
    HANDLE descriptor = createBoundary(aliasOf(boundary_), 0);
    if (!descriptor) return false;
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    if (boundarySid(boundary_, sid) && addSid(&descriptor, sid)) {
        namespace_ = create(nullptr, descriptor, aliasOf(boundary_));
        if (!namespace_ && ::GetLastError() == ERROR_ALREADY_EXISTS) namespace_ = open(descriptor, aliasOf(boundary_));
    }
    deleteBoundary(descriptor);
    return namespace_ != nullptr;
}

bool Win32SingleCopy::anotherCopyRunning() {
    if (!another_) {
        const std::wstring object = openNamespace() ? std::wstring(aliasOf(boundary_)) + L"\\" + widened(name_)
                                                    : widened(name_) + L"." + userSidText();
        // The answer lives in the last error of this very call: it has to be taken at once.
        // A mutex of that name that this program may not open (a squatter's, with a DACL
        // that shuts us out) is no copy of ours either: the program starts.
        mutex_.reset(::CreateMutexW(nullptr, FALSE, object.c_str()));
        another_ = mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return *another_;
}

bool Win32SingleCopy::isRunningCopy(std::uint32_t window) {
    return isWindowOfThisProgram(windowFromNumber(window));
}

}  // namespace vantora::win32
