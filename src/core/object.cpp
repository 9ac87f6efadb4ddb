#include "core/object.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->Insert(this);
}

TComponent::~TComponent() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        delete last; // its destructor removes it from FComponents
    }
    if (FOwner) FOwner->Remove(this);
}

void TComponent::Insert(TComponent* Child) {
    Child->FOwner = this;
    FComponents.push_back(Child);
}

void TComponent::Remove(TComponent* Child) {
    auto it = std::find(FComponents.begin(), FComponents.end(), Child);
    if (it != FComponents.end()) FComponents.erase(it);
    Child->FOwner = nullptr;
}
