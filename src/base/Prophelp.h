// The library's own record encoding on plain byte streams: tagged integers, strings and list
// brackets; and the property differences written in it, which compare two persistents of one class
// property by property and record only what differs, to be applied to another persistent later.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Stream.h"
#include "host/classes/TypeInfo.h"

VANTORA_API_BEGIN
namespace vantora {

// Tagged values: every item starts with a one-byte tag.
void WriteStreamInteger(host::TStream& Stream, std::int32_t Value);
// Raises EFulgoError for strings over 255 characters, which the encoding cannot hold.
void WriteStreamString(host::TStream& Stream, const std::string& Text);
void WriteStreamListBegin(host::TStream& Stream);
void WriteStreamListEnd(host::TStream& Stream);
// A wrong tag raises EFulgoError "Error reading stream"; reading past the end EReadError.
std::int32_t ReadStreamInteger(host::TStream& Stream);
std::string ReadStreamString(host::TStream& Stream);
void ReadStreamListBegin(host::TStream& Stream);
void ReadStreamListEnd(host::TStream& Stream);
// Answers whether the next item is a list end, leaving the position unchanged.
bool IsStreamListEnd(host::TStream& Stream);

// A persistent that records its differences in a change record of its own in place of a nested
// difference record.
class IChangeRecord {
 public:
  virtual ~IChangeRecord() = default;
  // Writes the fields that differ from Reference (of the same class); answers whether any did.
  virtual bool WriteChanges(host::TStream& Stream, const host::TPersistent* Reference) = 0;
  virtual void ReadChanges(host::TStream& Stream) = 0;
};

// The object held by the published property Name of Instance; null when there is no such object
// property.
host::TPersistent* GetPropRef(const host::TPersistent* Instance, const std::string& Name);

// Writes the difference record of Other against Base and answers whether anything differs. Both
// must be of exactly the same class, else EFulgoError "Object must have the same value".
bool FindDifference(host::TStream& Stream, const host::TPersistent* Base, const host::TPersistent* Other);
bool FindPropertyDifference(host::TStream& Stream, const host::TPersistent* Base, const host::TPersistent* Other,
                            const host::TPropInfo& Property);
void WriteProperty(host::TStream& Stream, const host::TPersistent* Instance, const host::TPropInfo& Property);

// Applies one difference record to Target through its setters; answers whether it held any entry.
bool SetDifference(host::TStream& Stream, host::TPersistent* Target);
void ReadProperty(host::TStream& Stream, host::TPersistent* Target, const host::TPropInfo& Property);

}  // namespace vantora
VANTORA_API_END
