{ Compiles a help project (.hhp) into a CHM file with Free Pascal's own CHM
  writer, the engine of chmcmd. chmcmd 3.2.2 stores every context-map topic
  under its absolute build path, so "HH -mapid N" looks for a page that is
  not in the file; this tool stores the topics under the names they have
  inside the CHM.

  Usage: makechm PROJECT.hhp OUTPUT.chm
  Exit code 0 on success, 1 on any error or warning. }
program makechm;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, chmfilewriter, chmwriter, chmsitemap;

type
  THelpProject = class(TChmProject)
  public
    procedure WriteChm(AOutStream: TStream); override;
  end;

var
  Failed: Boolean = False;

procedure ReportError(Project: TChmProject; ErrorKind: TChmProjectErrorKind; Msg: String;
  DetailLevel: Integer = 0);
begin
  if ErrorKind in [chmerror, chmwarning] then
  begin
    WriteLn(StdErr, 'makechm: ', ChmErrorKindText[ErrorKind], ': ', Msg);
    Failed := True;
  end;
end;

{ The same steps as TChmProject.WriteChm, with the context map fixed. }
procedure THelpProject.WriteChm(AOutStream: TStream);
var
  Writer: TChmWriter;
  Contents: TChmSiteMap;
  Node: TChmContextNode;
  I: Integer;
begin
  LoadSiteMaps;
  ScanHtml;
  Contents := nil;
  if TableOfContentsFileName <> '' then
  begin
    Contents := TChmSiteMap.Create(stTOC);
    Contents.LoadFromFile(ProjectDir + TableOfContentsFileName);
  end;
  Writer := TChmWriter.Create(AOutStream, False);
  try
    Writer.OnGetFileData := @GetData;
    Writer.OnLastFile := @LastFileAdded;
    Writer.FilesToCompress.AddStrings(Files);
    Writer.FilesToCompress.AddStrings(OtherFiles);
    Writer.DefaultPage := DefaultPage;
    Writer.Title := Title;
    Writer.DefaultFont := DefaultFont;
    Writer.FullTextSearch := MakeSearchable;
    Writer.HasBinaryTOC := MakeBinaryTOC;
    Writer.HasBinaryIndex := MakeBinaryIndex;
    Writer.IndexName := IndexFileName;
    Writer.TocName := TableOfContentsFileName;
    Writer.DefaultWindow := DefaultWindow;
    Writer.LocaleID := LocaleID;
    for I := 0 to Files.Count - 1 do
    begin
      if not FileExists(ProjectDir + Files[I]) then
        Error(chmerror, 'File ' + Files[I] + ' does not exist');
      Node := TChmContextNode(Files.Objects[I]);
      if Assigned(Node) and (Node.ContextNumber <> 0) then
        Writer.AddContext(Node.ContextNumber, Files[I]);
    end;
    if Windows.Count > 0 then
      Writer.Windows := Windows;
    Writer.TocSitemap := Contents;
    Writer.Execute;
  finally
    Writer.Free;
    Contents.Free;
  end;
end;

var
  Project: THelpProject;
  Output: TFileStream;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'Usage: makechm PROJECT.hhp OUTPUT.chm');
    Halt(2);
  end;
  Project := THelpProject.Create;
  try
    Project.OnError := @ReportError;
    try
      Project.LoadFromHhp(ParamStr(1), False);
      Output := TFileStream.Create(ParamStr(2), fmCreate);
      try
        Project.WriteChm(Output);
      finally
        Output.Free;
      end;
      Project.ShowUndefinedAnchors;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'makechm: ', E.Message);
        Failed := True;
      end;
    end;
  finally
    Project.Free;
  end;
  if Failed then
  begin
    DeleteFile(ParamStr(2));
    Halt(1);
  end;
end.
