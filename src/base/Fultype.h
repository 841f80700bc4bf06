// What every model class shares: the persistent base with its owner link and rebuild notice, the
// alignment persistent, the owning list that counts its active items, the library's error classes
// and its two enumerations. The image core and the effects use this unit too: it is the model's
// vocabulary, not part of its upper layers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Errors.h"
#include "host/classes/Lists.h"
#include "host/classes/Persistent.h"
#include "host/classes/Types.h"

VANTORA_API_BEGIN
namespace vantora {

VANTORA_DECLARE_ERROR(EFulgoError, host::Exception);
VANTORA_DECLARE_ERROR(EDontCreatDib, host::Exception);
VANTORA_DECLARE_ERROR(ECantCreatPal, host::Exception);
VANTORA_DECLARE_ERROR(EPaletCreatFail, host::Exception);
VANTORA_DECLARE_ERROR(ENoBMPInSource, host::Exception);
// Declared for callers; the library raises none of these.
VANTORA_DECLARE_ERROR(ECantOpenDibFile, host::Exception);
VANTORA_DECLARE_ERROR(EDontGetMemory, host::Exception);
VANTORA_DECLARE_ERROR(EDummy, host::Exception);

// How an object or layer is filled.
enum efgColorType : std::uint8_t { fgBrush, fgFuzz, fgBitmap, fgTiledBitmap, fgGradient, fgTiledGradient };
const host::TEnumInfo& TypeInfoOf(efgColorType);

// Direction of an embossed edge, clockwise from the upper left.
enum efgDirection : std::uint8_t {
  fgUpLeft,
  fgUp,
  fgUpRight,
  fgRight,
  fgDownRight,
  fgDown,
  fgDownLeft,
  fgLeft
};
const host::TEnumInfo& TypeInfoOf(efgDirection);

class tFulgoPersistent : public host::TPersistent {
  VANTORA_PERSISTENT(tFulgoPersistent)

  explicit tFulgoPersistent(tFulgoPersistent* AOwner);

  // Takes part in rendering; counted by the active functions of tQorList.
  bool Active = false;
  // The persistent that created this one and hears its rebuild notices; never freed through.
  tFulgoPersistent* Owner = nullptr;
  // While true, Rebuild is passed on to Owner.
  bool NotifyOwner = false;

  host::TPersistent* GetOwner() const override { return Owner; }

  void SetDefaults();
  // Resets the object to its defaults in place.
  virtual void Init();
  // Carries a change up the owner chain to the art.
  virtual void Rebuild();
  // Change handler for owned glyphs; the sender does not matter.
  void GlyphRebuild(host::TPersistent* Sender);
  bool GetActive() const { return Active; }
  void SetActive(bool Value);

 protected:
  // For classes that link to their owner without forwarding rebuilds and set their own defaults.
  struct SilentLink {};
  tFulgoPersistent(tFulgoPersistent* AOwner, SilentLink) : Owner(AOwner) {}
};

// Clears NotifyOwner of a persistent for a scope and restores the old value however the scope
// ends, so that the changes made meanwhile climb no further than that persistent.
class tQuietNotices {
 public:
  explicit tQuietNotices(tFulgoPersistent& Persistent)
      : persistent_(Persistent), notify_(Persistent.NotifyOwner) {
    Persistent.NotifyOwner = false;
  }
  tQuietNotices(const tQuietNotices&) = delete;
  tQuietNotices& operator=(const tQuietNotices&) = delete;
  ~tQuietNotices() { persistent_.NotifyOwner = notify_; }

 private:
  tFulgoPersistent& persistent_;
  bool notify_;
};

[[noreturn]] void RaiseCannotAssign(const host::TPersistent& Source, const host::TPersistent* Dest);

// Dest as the class that takes Source's fields, when Dest is of Source's class, an ancestor or a
// descendant; otherwise EConvertError "Can not assign <Dest> to <Source>".
template <class T>
T* AssignTarget(const T& Source, host::TPersistent* Dest) {
  auto* dest = dynamic_cast<T*>(Dest);
  if (!dest || !(Dest->InheritsFrom(Source.ClassType()) || Source.InheritsFrom(Dest->ClassType())))
    RaiseCannotAssign(Source, Dest);
  return dest;
}

// Places an object inside its art. It never forwards a rebuild: its fields have no setters and a
// change shows at the owner's next rebuild.
class tFulgoAlign : public tFulgoPersistent {
  VANTORA_PERSISTENT(tFulgoAlign)

  explicit tFulgoAlign(tFulgoPersistent* AOwner);

  std::int32_t X = 0;
  std::int32_t Y = 0;
  host::TAlignment Alignment = host::taCenter;
  // Computed position: the alignment result plus X and Y.
  std::int32_t PosX = 0;
  std::int32_t PosY = 0;

  void SetDefaults();
  void Init() override;
};

// A list of references to persistents that can count and index its active items. It does not own
// the items: its owner frees them with FreeAll.
class tQorList {
 public:
  tQorList() = default;
  tQorList(const tQorList&) = delete;
  tQorList& operator=(const tQorList&) = delete;
  virtual ~tQorList() = default;

  host::TList<tFulgoPersistent> Items;

  int Add(tFulgoPersistent* Item) { return Items.Add(Item); }
  void Clear() { Items.Clear(); }
  // Frees every item, first to last, and forgets them.
  void FreeAll();
  int GetCount() const { return Items.Count(); }
  tFulgoPersistent* GetItem(int Index) const { return Items.Get(Index); }
  int GetActiveCount() const;
  // The Index-th active item (0-based, inactive items skipped).
  tFulgoPersistent* GetActive(int Index) const;
};

// A list's items seen as T*, all of them or only the active ones. Written out by hand because the
// standard views do not compile with every compiler the library supports.
template <class T, bool ActiveOnly>
class tItemRange {
  using Base = std::vector<tFulgoPersistent*>::const_iterator;

 public:
  class iterator {
   public:
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::forward_iterator_tag;

    iterator() = default;
    iterator(Base at, Base end) : at_(at), end_(end) { SkipInactive(); }
    T* operator*() const { return static_cast<T*>(*at_); }
    iterator& operator++() {
      ++at_;
      SkipInactive();
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& other) const { return at_ == other.at_; }

   private:
    void SkipInactive() {
      if constexpr (ActiveOnly)
        while (at_ != end_ && !static_cast<T*>(*at_)->Active) ++at_;
    }
    Base at_{}, end_{};
  };

  tItemRange(Base begin, Base end) : begin_(begin, end), end_(end, end) {}
  iterator begin() const { return begin_; }
  iterator end() const { return end_; }
  bool empty() const { return begin_ == end_; }

 private:
  iterator begin_, end_;
};

// A tQorList whose items are all of class T, with the typed accessors its owners use.
template <class T>
class tTypedQorList : public tQorList {
 public:
  T* GetItemTyped(int Index) const { return static_cast<T*>(GetItem(Index)); }
  T* GetActiveTyped(int Index) const { return static_cast<T*>(GetActive(Index)); }

  // Every item, in list order.
  tItemRange<T, false> All() const { return {Items.begin(), Items.end()}; }
  // The active items in list order, found in one walk rather than looked up by index one by one.
  tItemRange<T, true> Actives() const { return {Items.begin(), Items.end()}; }
};

// A typed list that owns its items: it frees them, first to last, when it goes.
template <class T>
class tOwningQorList : public tTypedQorList<T> {
 public:
  tOwningQorList() = default;
  ~tOwningQorList() override { this->FreeAll(); }

  // Takes Item over and answers it, for the owner's typed reference to it.
  template <class U>
  U* Add(std::unique_ptr<U> Item) {
    tQorList::Add(Item.get());
    return Item.release();
  }

 private:
  // Forgetting an item without freeing it would leak it.
  using tQorList::Clear;
};

}  // namespace vantora
VANTORA_API_END
