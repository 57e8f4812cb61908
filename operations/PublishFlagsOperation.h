#pragma once
// "Include for Publish" (Yes, No) on sheets and "Publish Sheets in Subset" on subsets, for every
// selected item, edited under the set's lock.
void registerPublishFlagsOperation();
void unregisterPublishFlagsOperation();
