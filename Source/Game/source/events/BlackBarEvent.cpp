#include "events/BlackBarEvent.h"

#include "audio/AudioManager.h"
#include "level/BlackBars.h"

void BlackBarEvent::Init(const int& anOrder, BlackBars* someBars, float aSpeed)
{
    myOrder = anOrder;
    myBlackBars = someBars;
    myBarSpeed = aSpeed;
    if (myBlackBars)
    {
        myBlackBars->Hide();
    }
    myIsTriggered = false;
}

void BlackBarEvent::OnTriggerEnter()
{
    if (myIsTriggered)
    {
        return;
    }
    myIsTriggered = true;
    if (myBlackBars)
    {
        myBlackBars->Show(myBarSpeed);
    }
    AudioManager& audio = AudioManager::GetInstance();
    audio.FadeOutAll(1.5f);
    audio.FadeIn("Cave_Event", "Sad_Violin_Event", 3.0f);
}

void BlackBarEvent::OnTriggerExit()
{
    if (myBlackBars)
    {
        myBlackBars->Hide();
    }
    myIsTriggered = false;
    AudioManager& audio = AudioManager::GetInstance();
    audio.FadeOut("Sad_Violin_Event", 3.0f);
    audio.ResumeAll(1.5f);
}
