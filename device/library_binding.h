// Binding to the device libraries at run time. The program never links them: each function is found
// by its exported name in the library named by its bare file name, which is loaded (searched for as
// Windows searches: program folder, current directory, "Path") on the first call of any of its
// functions. A library or function that cannot be found never crashes the caller: the call yields
// its failure value and the caller goes on.
#pragma once

#include <atomic>
#include <string>
#include <type_traits>

enum class DeviceLibrary { MobileDevice, CoreFoundation };

// The bare file name a library is loaded by.
const char *DeviceLibraryFileName(DeviceLibrary library);

// Address of an exported function, loading the library if needed; nullptr when the library or the
// function is not available (the reason goes to standard error and to LastDeviceBindingError).
// Any thread; loading is serialised. A failed load is tried again at the next call.
void *BindDeviceFunction(DeviceLibrary library, const char *exportName);

// The reason of the most recent failure of BindDeviceFunction, empty when none (GBK).
std::string LastDeviceBindingError();

// One function of a device library, bound at its first call. `failure` is what a call yields when the
// function is not available.
template <typename Signature>
class BoundFunction;

template <typename R, typename... Args>
class BoundFunction<R(Args...)> {
public:
    using Pointer = R (*)(Args...);

    constexpr BoundFunction(DeviceLibrary library, const char *exportName) : library_(library), name_(exportName) {}

    R call(std::conditional_t<std::is_void_v<R>, int, R> failure, Args... args)
    {
        Pointer fn = address_.load(std::memory_order_acquire);
        if (!fn) {
            fn = reinterpret_cast<Pointer>(BindDeviceFunction(library_, name_));
            if (!fn) {
                if constexpr (std::is_void_v<R>)
                    return;
                else
                    return failure;
            }
            address_.store(fn, std::memory_order_release);
        }
        return fn(args...);
    }

private:
    DeviceLibrary library_;
    const char *name_;
    std::atomic<Pointer> address_{nullptr};
};
