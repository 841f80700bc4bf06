// The component writer and reader: a component with its published properties, defined properties
// and owned children in the binary component-stream format (docs/formats.md).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/ComponentFormat.h"
#include "host/classes/Persistent.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TReader;
class TWriter;

// Passed to DefineProperties: a class names its extra stream properties here, each with a reader,
// a writer and whether it has data to write now.
class TFiler {
 public:
  using TReaderProc = std::function<void(TReader&)>;
  using TWriterProc = std::function<void(TWriter&)>;
  using TStreamProc = std::function<void(TStream&)>;

  virtual ~TFiler() = default;
  // A property whose value is written with the writer's value calls (lists of integers, booleans
  // and strings, for instance).
  virtual void DefineProperty(const std::string& name, const TReaderProc& read, const TWriterProc& write,
                              bool hasData) = 0;
  // A property whose value is a block of bytes, written and read through a stream.
  virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                                    bool hasData) = 0;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream) : format_(stream) {}

  // Writes the signature and the root component with everything it holds.
  void WriteRootComponent(TComponent& root);

  // Values, for the writers of defined properties.
  void WriteListBegin() { format_.WriteValueType(TValueType::vaList); }
  void WriteListEnd() { format_.WriteEnd(); }
  void WriteInteger(std::int64_t value) { format_.WriteInteger(value); }
  void WriteBoolean(bool value) { format_.WriteBoolean(value); }
  void WriteString(const std::string& value) { format_.WriteString(value); }
  void WriteFloat(double value) { format_.WriteDouble(value); }
  void WriteIdent(const std::string& ident) { format_.WriteIdent(ident); }

  void DefineProperty(const std::string& name, const TReaderProc& read, const TWriterProc& write,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                            bool hasData) override;

  TComponent* Root() const { return root_; }

 private:
  void WriteComponent(TComponent& component);
  void WriteProperties(TPersistent& instance, const std::string& prefix, int depth);
  void WriteProperty(TPersistent& instance, const TPropInfo& prop, const std::string& prefix, int depth);

  FormatWriter format_;
  TComponent* root_ = nullptr;
  std::string prefix_;  // path of the persistent whose properties are being written
};

class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream) : format_(stream) {}
  ~TReader() override;

  // Reads the signature and one root component, into Root when given, else into a new component
  // of the class the stream names (owned by Owner). The named children its class declares are
  // bound to their members (EReadError when one is missing or of another class); references are
  // resolved and Loaded is called at the end, or at the end of the global loading phase when one is
  // active. On failure every component the read created is freed and the error propagates.
  TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);
  // Reads the properties and children of Instance; the default ReadState calls it.
  void ReadData(TComponent& instance);

  // Values, for the readers of defined properties.
  void ReadListBegin();
  bool EndOfList();
  void ReadListEnd();
  std::int64_t ReadInteger();
  bool ReadBoolean();
  std::string ReadString();
  double ReadFloat();
  std::string ReadIdent();
  TValueType NextValue() { return format_.PeekValueType(); }

  void DefineProperty(const std::string& name, const TReaderProc& read, const TWriterProc& write,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                            bool hasData) override;

  TComponent* Root() const { return root_; }
  // The component whose children are being read.
  TComponent* Parent() const { return parent_; }

  struct Fixup {
    TComponent* root;
    TComponent* component;  // the component whose property (or nested object's) it is
    TPersistent* instance;
    const TPropInfo* prop;
    std::string name;
  };

 private:
  TComponent* ReadComponentRecord(TComponent* instance, TComponent* parent);
  void ReadProperty(TPersistent& instance, const std::string& path, std::int64_t offset);
  void ReadPropertyValue(TPersistent& instance, const TPropInfo& prop);
  void ReadClassValue(TPersistent& instance, const TPropInfo& prop, TValueType type, std::int64_t offset);
  void SkipValue(int depth);
  void Abandon(TComponent* givenRoot);

  FormatReader format_;
  TComponent* root_ = nullptr;
  TComponent* parent_ = nullptr;
  TComponent* owner_ = nullptr;  // owner of a root the read creates
  TComponent* reading_ = nullptr;  // the component whose properties are being read
  int depth_ = 0;
  std::string defining_;      // name of the defined property being looked for
  bool defined_found_ = false;
  bool childrenBound_ = false;
  std::vector<TComponent*> created_;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
};

// The framework's component streaming entry points.
void WriteComponent(TStream& stream, TComponent& root);
TComponent* ReadComponent(TStream& stream, TComponent* root = nullptr, TComponent* owner = nullptr);

// A global loading phase around several reads: references between the components read are resolved
// and Loaded is called on all of them at its end. Phases nest; the outermost end does the work.
void BeginGlobalLoading();
void EndGlobalLoading();
bool InGlobalLoading();
// Drops a component that is being freed from the phase's pending work, so its end never reaches it.
void ForgetGlobalLoading(TComponent* component);

// Finds a component by name outside the roots being read (for references to other forms).
using TFindGlobalComponent = std::function<TComponent*(const std::string& name)>;
void SetFindGlobalComponent(TFindGlobalComponent finder);

}  // namespace vantora::host
VANTORA_API_END
