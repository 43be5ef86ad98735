#include "cloud/aws/sdk_lifetime.h"

#include <curl/curl.h>

#include <mutex>

namespace {

std::mutex& LifetimeMutex() {
    static std::mutex mutex;
    return mutex;
}

int& StartCount() {
    static int count = 0;
    return count;
}

}  // namespace

void AwsSdkStart() {
    std::lock_guard<std::mutex> lock(LifetimeMutex());
    if (StartCount()++ == 0) curl_global_init(CURL_GLOBAL_DEFAULT);
}

void AwsSdkStop() {
    std::lock_guard<std::mutex> lock(LifetimeMutex());
    if (StartCount() == 0) return;
    if (--StartCount() == 0) curl_global_cleanup();
}
