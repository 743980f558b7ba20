"""Picture generation for the resource scripts (makeimages.py)."""
