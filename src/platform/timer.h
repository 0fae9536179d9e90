#pragma once
// TTimer over QTimer: OnTimer runs every Interval milliseconds while Enabled.
#include <functional>
#include <memory>

class TTimer {
public:
  TTimer();
  ~TTimer();
  TTimer(const TTimer &) = delete;
  TTimer &operator=(const TTimer &) = delete;
  int Interval() const; // 1000 at creation
  void SetInterval(int Ms);
  bool Enabled() const; // true at creation, as the class library's timer
  void SetEnabled(bool On);
  std::function<void()> OnTimer;

  struct Impl;

private:
  std::unique_ptr<Impl> D;
};
