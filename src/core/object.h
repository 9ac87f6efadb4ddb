// TObject and TComponent: the component model every show object is built on.
// A component is created with an owner and destroyed by it; owned components
// go with their owner, the last created first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
    // The class's own name, as callers test it ("TSinus", "TFxEvent", ...).
    virtual std::string ClassName() const { return "TObject"; }
};

// A callback bound to an object, called with the object that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    // Creates the component; a non-null owner takes it over and destroys it.
    explicit TComponent(TComponent* AOwner);
    // Destroys every owned component (last created first), then leaves the owner.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<size_t>(Index)); }

    std::string Name;
    int32_t Tag = 0;

private:
    void Insert(TComponent* Child);
    void Remove(TComponent* Child);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
};
