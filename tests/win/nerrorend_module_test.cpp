#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Owns a loaded module for one test.
class Module {
  public:
    explicit Module(const char* path) : handle_(LoadLibraryA(path)) {}
    ~Module() {
        if (handle_) FreeLibrary(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE get() const { return handle_; }
    FARPROC proc(const char* name) const { return GetProcAddress(handle_, name); }
    // GetProcAddress hands back a generic pointer; the generic function type in
    // between keeps the cast explicit about the real signature.
    template <typename Fn> Fn procAs(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc(name)));
    }

  private:
    HMODULE handle_;
};

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using NoArgFn = HRESULT(WINAPI*)();

TEST(NerrorendModule, ExportsTheFourEntryPointsUndecorated) {
    Module module(NERROREND_PATH);
    ASSERT_NE(module.get(), nullptr) << "LoadLibrary failed: " << GetLastError();
    for (const char* name :
         {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
        EXPECT_NE(module.proc(name), nullptr) << name;
    EXPECT_EQ(module.proc("DllRegisterServer@0"), nullptr);
}

TEST(NerrorendModule, UnknownClassIsNotAvailable) {
    Module module(NERROREND_PATH);
    ASSERT_NE(module.get(), nullptr);
    auto getClassObject = module.procAs<GetClassObjectFn>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    const CLSID unknown = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(unknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(unknown, IID_IClassFactory, nullptr), E_POINTER);
}

TEST(NerrorendModule, RegistersAndCanUnloadWhenIdle) {
    Module module(NERROREND_PATH);
    ASSERT_NE(module.get(), nullptr);
    auto reg = module.procAs<NoArgFn>("DllRegisterServer");
    auto unreg = module.procAs<NoArgFn>("DllUnregisterServer");
    auto canUnload = module.procAs<NoArgFn>("DllCanUnloadNow");
    ASSERT_TRUE(reg && unreg && canUnload);
    EXPECT_EQ(reg(), S_OK);
    EXPECT_EQ(unreg(), S_OK);
    EXPECT_EQ(canUnload(), S_OK);
}

} // namespace
