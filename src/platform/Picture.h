#pragma once
#include <memory>

#include "Graphic.h"

// A container that holds at most one graphic, as picture files are loaded into.
class TPicture {
  public:
    TPicture() = default;
    explicit TPicture(std::unique_ptr<TGraphic> graphic) : Graphic_(std::move(graphic)) {}

    const TGraphic* Graphic() const { return Graphic_.get(); }
    TGraphic* Graphic() { return Graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { Graphic_ = std::move(graphic); }
    std::unique_ptr<TGraphic> Release() { return std::move(Graphic_); }

  private:
    std::unique_ptr<TGraphic> Graphic_;
};
