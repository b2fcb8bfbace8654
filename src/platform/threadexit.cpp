#include "platform/threadexit.h"

platform_ThreadCleanup::platform_ThreadCleanup(void (*cleanup)()) : _Cleanup(cleanup) {
    _HasKey = pthread_key_create(&_Key, &platform_ThreadCleanup::Run) == 0;
}

platform_ThreadCleanup::~platform_ThreadCleanup() {
    if (!_HasKey) return;
    if (pthread_getspecific(_Key)) {
        pthread_setspecific(_Key, nullptr);
        _Cleanup();
    }
    pthread_key_delete(_Key);
}

void platform_ThreadCleanup::Arm() {
    if (_HasKey && !pthread_getspecific(_Key)) pthread_setspecific(_Key, this);
}

void platform_ThreadCleanup::Run(void* self) { static_cast<platform_ThreadCleanup*>(self)->_Cleanup(); }
