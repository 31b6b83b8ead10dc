#include "Dialogs.h"

#include <mutex>

namespace {
std::mutex ProviderMutex;
std::unique_ptr<TDialogProvider> CurrentProvider;
}  // namespace

TDialogProvider::~TDialogProvider() = default;

TDialogProvider& Dialogs() {
  std::lock_guard<std::mutex> guard(ProviderMutex);
  // Created on first use: a test that installs its own never opens the console.
  if (!CurrentProvider) CurrentProvider = CreatePlatformDialogProvider();
  return *CurrentProvider;
}

std::unique_ptr<TDialogProvider> SetDialogProvider(std::unique_ptr<TDialogProvider> Provider) {
  std::lock_guard<std::mutex> guard(ProviderMutex);
  std::swap(CurrentProvider, Provider);
  return Provider;
}
