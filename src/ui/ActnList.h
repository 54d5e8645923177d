#pragma once
// Actions: one command that several controls share. A control given an
// Action takes the action's caption, enabled state, hint and visibility, and
// hears of them again whenever they change (ActionChange); its click runs
// the action unless it has an OnClick of its own. TActionList gathers actions
// and lends them its image list.
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

class TControl;
class TCustomImageList;
class TActionList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    // The controls that use the action let go of it first.
    ~TBasicAction() override;

    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    TNotifyEvent OnExecute;

protected:
    // Tells every control that uses the action.
    void Change();

private:
    friend class TControl;
    std::vector<TControl*> clients_;  // not owned
};

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TCustomAction() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // An image of the action list's Images; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TActionList* ActionList() const { return actionList_; }
    void SetActionList(TActionList* v);

private:
    friend class TActionList;
    std::string caption_;
    bool enabled_ = true;
    std::string hint_;
    bool visible_ = true;
    int imageIndex_ = -1;
    TActionList* actionList_ = nullptr;  // not owned
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    // Its actions belong to no list afterwards.
    ~TActionList() override;

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* v);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomAction;
    TCustomImageList* images_ = nullptr;   // not owned
    std::vector<TCustomAction*> actions_;  // not owned
};

}  // namespace ui
