#pragma once
// An ordered list of icons that streams itself as one block of raw bytes ("Icons"):
// a 32-bit count, then per icon a 32-bit size and the icon file (size 0 for none).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/icon.h"
#include "platform/streams.h"

class TIconList {
public:
  TIconList() = default;
  TIconList(const TIconList &) = delete;
  TIconList &operator=(const TIconList &) = delete;
  virtual ~TIconList() = default;

  // Nested: Changed fires only when the outermost update ends.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  std::function<void()> OnChange;

  virtual void Changed();
  virtual TIcon *Get(int Index) const;
  virtual int GetCount() const { return int(FList.size()); }
  // Put, Add and Insert store a copy (nullptr: an empty entry).
  virtual void Put(int Index, const TIcon *Icon);
  virtual int Add(const TIcon *Icon);
  // An icon of the program's compiled-in resources (TIcon::LoadFromResource): a missing or
  // broken one raises its error and leaves the list as it was.
  virtual int AddResource(const std::string &ResName);
  virtual void Clear();
  virtual void Delete(int Index);
  virtual void Exchange(int A, int B);
  virtual int IndexOf(const TIcon *Icon) const;
  virtual void Insert(int Index, const TIcon *Icon);
  virtual void InsertResource(int Index, const std::string &ResName);
  // Raises EReadError "Stream read error" for counts or sizes the bytes cannot hold.
  virtual void LoadFromStream(TMemoryStream &Stream);
  virtual void Move(int From, int To);
  virtual void SaveToStream(TMemoryStream &Stream) const;
  void Assign(const TIconList &Source);
  // The raw-byte property "Icons" of form streaming.
  static constexpr const char *PropertyName = "Icons";

private:
  void CheckIndex(int Index) const;
  int AddOwned(std::unique_ptr<TIcon> Icon);
  void InsertOwned(int Index, std::unique_ptr<TIcon> Icon);
  std::vector<std::unique_ptr<TIcon>> FList;
  int FUpdateCount = 0;
};
